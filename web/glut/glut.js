// GLUT in a web page, with freeglut's behaviour where the viewer can see it:
// the window is the page's canvas as displayed (window.js, which also keeps
// the scene through a lost context), frames are drawn on
// requestAnimationFrame and timers run on setTimeout. Keys (keyboard.js) and the mouse (pointer.js)
// arrive as freeglut reports them under X; a finger drags as the mouse does,
// on-screen buttons (controls.js) press keys or turn the view as a drag does
// (turn.js), and a page that loses the focus lets go of everything held
// (focus.js). The visitor may pause time (pause.js).
//
// The page may set three hooks on Module: onFirstFrame() once the first frame
// is drawn, onExit(status) when the program has called exit() (the animation
// has stopped by then), and onNoWebGL2() when there is no WebGL 2 context.
mergeInto(LibraryManager.library, {
  $Glut__deps: ['$Backend', '$GlutWindow', '$GlutKeyboard', '$GlutPointer', '$GlutControls', '$GlutFocus',
                '$GlutPause', 'glutPostRedisplay'],
  $Glut: {
    canvas: null,
    display: 0,
    reshape: 0,
    keyboard: 0,
    keyboardUp: 0,
    special: 0,
    specialUp: 0,
    mouse: 0,
    motion: 0,
    frame: 0, // the pending animation frame
    drawn: false,
    ended: false,

    // Runs a callback as GLUT's main loop would; a callback with fewer
    // parameters ignores the rest. exit() throws ExitStatus out of the
    // program: here that ends the viewer instead of reaching the page as an
    // uncaught error. 'unwind' only returns to the page, as in emscripten.
    call: function(callback, a, b, c, d) {
      if (!callback || Glut.ended || ABORT) return;
      try {
        {{{ makeDynCall('viiii', 'callback') }}}(a, b, c, d);
      } catch (e) {
        if (e === 'unwind') return;
        if (!(e instanceof ExitStatus)) throw e;
        Glut.end(e.status);
      }
    },

    // An input callback. Paused, no tick asks for a frame: the input's own
    // frame shows what it changed (a switch of the lights) at once.
    input: function(callback, a, b, c, d) {
      Glut.call(callback, a, b, c, d);
      if (GlutPause.paused) _glutPostRedisplay();
    },

    // Timers still pending find the viewer ended and do nothing.
    end: function(status) {
      Glut.ended = true;
      cancelAnimationFrame(Glut.frame);
      Glut.listen(false);
      if (Module['onExit']) Module['onExit'](status);
    },

    // Nothing is drawn into a lost context; its restore asks for a frame.
    draw: function() {
      Glut.frame = 0;
      if (Backend.lost) return;
      Glut.call(Glut.display);
      if (Glut.drawn || Glut.ended) return;
      Glut.drawn = true;
      if (Module['onFirstFrame']) Module['onFirstFrame']();
    },

    // The input files' listeners, on for the life of the viewer.
    listen: function(on) {
      var method = on ? 'addEventListener' : 'removeEventListener';
      GlutKeyboard.listen(method);
      GlutPointer.listen(method);
      GlutControls.listen(method);
      GlutFocus.listen(method);
      GlutPause.listen(method);
      GlutWindow.listen(on);
    },
  },

  glutInit: function(argcp, argv) {},

  glutInitDisplayMode: function(mode) {
    if (mode & ~0x12) abort('glutInitDisplayMode: only GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH');
  },

  glutDisplayFunc__deps: ['$Glut'],
  glutDisplayFunc: function(callback) { Glut.display = callback; },
  glutReshapeFunc__deps: ['$Glut'],
  glutReshapeFunc: function(callback) { Glut.reshape = callback; },
  glutKeyboardFunc__deps: ['$Glut'],
  glutKeyboardFunc: function(callback) { Glut.keyboard = callback; },
  glutKeyboardUpFunc__deps: ['$Glut'],
  glutKeyboardUpFunc: function(callback) { Glut.keyboardUp = callback; },
  glutSpecialFunc__deps: ['$Glut'],
  glutSpecialFunc: function(callback) { Glut.special = callback; },
  glutSpecialUpFunc__deps: ['$Glut'],
  glutSpecialUpFunc: function(callback) { Glut.specialUp = callback; },
  glutMouseFunc__deps: ['$Glut'],
  glutMouseFunc: function(callback) { Glut.mouse = callback; },
  glutMotionFunc__deps: ['$Glut'],
  glutMotionFunc: function(callback) { Glut.motion = callback; },

  glutTimerFunc__deps: ['$GlutPause'],
  glutTimerFunc: function(msecs, callback, value) {
    setTimeout(GlutPause.due, msecs >>> 0, callback, value);
  },

  glutPostRedisplay__deps: ['$Glut'],
  glutPostRedisplay: function() {
    if (!Glut.frame && !Glut.ended) Glut.frame = requestAnimationFrame(Glut.draw);
  },

  glutSwapBuffers: function() {}, // the page shows the drawing buffer once the callback returns

  // As freeglut on mapping the window: a reshape to its size, then a frame.
  // The program returns to the page's event loop and never past this call.
  glutMainLoop__deps: ['$Glut', 'glutPostRedisplay'],
  glutMainLoop: function() {
    Glut.listen(true);
    Glut.call(Glut.reshape, GlutWindow.width, GlutWindow.height);
    _glutPostRedisplay();
    throw 'unwind';
  },
});
