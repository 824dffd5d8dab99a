// GLUT in a web page, with freeglut's behaviour where the viewer can see it:
// the window is the page's canvas, frames are drawn on requestAnimationFrame,
// timers run on setTimeout, and keys and the mouse arrive as freeglut reports
// them under X (characters with their case, special-key codes, drags followed
// outside the window with the pointer's current position).
//
// The page may set three hooks on Module: onFirstFrame() once the first frame
// is drawn, onExit(status) when the program has called exit() (the animation
// has stopped by then), and onNoWebGL2() when there is no WebGL 2 context.
mergeInto(LibraryManager.library, {
  $Glut__deps: ['$Backend'],
  $Glut: {
    width: 300, // freeglut's initial window size
    height: 300,
    canvas: null,
    display: 0,
    reshape: 0,
    keyboard: 0,
    keyboardUp: 0,
    special: 0,
    specialUp: 0,
    mouse: 0,
    motion: 0,
    buttons: 0, // held mouse buttons, one bit each, pressed on the canvas
    x: 0, // the pointer's last position in canvas pixels
    y: 0,
    frame: 0, // the pending animation frame
    drawn: false,
    ended: false,

    // Keys with a character that the page reports by name.
    CHARACTERS: {Backspace: 8, Tab: 9, Enter: 13, Escape: 27, Delete: 127},
    SPECIAL: {
      F1: 1, F2: 2, F3: 3, F4: 4, F5: 5, F6: 6, F7: 7, F8: 8, F9: 9, F10: 10, F11: 11, F12: 12,
      ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103, PageUp: 104, PageDown: 105,
      Home: 106, End: 107, Insert: 108,
    },
    MODIFIERS: {Shift: 112, Control: 114, Alt: 116}, // the left key's code; the right one's is one more
    // Keys whose default action would scroll the page under the viewer.
    SCROLLING: {' ': 1, ArrowLeft: 1, ArrowUp: 1, ArrowRight: 1, ArrowDown: 1, PageUp: 1, PageDown: 1, Home: 1, End: 1},

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

    // Timers still pending find the viewer ended and do nothing.
    end: function(status) {
      Glut.ended = true;
      cancelAnimationFrame(Glut.frame);
      Glut.listen(false);
      if (Module['onExit']) Module['onExit'](status);
    },

    draw: function() {
      Glut.frame = 0;
      Glut.call(Glut.display);
      if (Glut.drawn || Glut.ended) return;
      Glut.drawn = true;
      if (Module['onFirstFrame']) Module['onFirstFrame']();
    },

    point: function(event) {
      var rect = Glut.canvas.getBoundingClientRect();
      Glut.x = Math.floor((event.clientX - rect.left) * Glut.canvas.width / rect.width);
      Glut.y = Math.floor((event.clientY - rect.top) * Glut.canvas.height / rect.height);
    },

    // As X's XLookupString: Latin-1 characters, Control turning @ to _ and
    // letters into control characters; -1 for a key without a character.
    character: function(event) {
      var code = event.key.length === 1 ? event.key.charCodeAt(0) : Glut.CHARACTERS[event.key];
      if (code === undefined || code > 255) return -1;
      return event.ctrlKey && code >= 64 && code < 128 ? code & 31 : code;
    },

    specialKey: function(event) {
      var modifier = Glut.MODIFIERS[event.key];
      if (modifier !== undefined) return modifier + (event.location === KeyboardEvent.DOM_KEY_LOCATION_RIGHT ? 1 : 0);
      var code = Glut.SPECIAL[event.key];
      return code === undefined ? -1 : code;
    },

    // Held keys repeat as further presses, which the viewer takes as they are.
    key: function(event, keyboard, special) {
      var code = Glut.character(event);
      if (code >= 0) Glut.call(keyboard, code, Glut.x, Glut.y);
      else if ((code = Glut.specialKey(event)) >= 0) Glut.call(special, code, Glut.x, Glut.y);
      if (event.key in Glut.SCROLLING && (event.target === Glut.canvas || event.target === document.body))
        event.preventDefault();
    },

    onKeyDown: function(event) {
      Glut.key(event, Glut.keyboard, Glut.special);
    },

    onKeyUp: function(event) {
      Glut.key(event, Glut.keyboardUp, Glut.specialUp);
    },

    // Buttons 0 to 2 are left, middle and right in the page as in GLUT.
    onMouseDown: function(event) {
      if (event.button > 2) return;
      event.preventDefault(); // no text selection while dragging
      Glut.canvas.focus();
      Glut.point(event);
      Glut.buttons |= 1 << event.button;
      Glut.call(Glut.mouse, event.button, 0, Glut.x, Glut.y);
    },

    onMouseMove: function(event) {
      Glut.point(event);
      if (Glut.buttons) Glut.call(Glut.motion, Glut.x, Glut.y);
    },

    onMouseUp: function(event) {
      var bit = 1 << event.button;
      if (!(Glut.buttons & bit)) return;
      Glut.buttons &= ~bit;
      Glut.point(event);
      Glut.call(Glut.mouse, event.button, 1, Glut.x, Glut.y);
    },

    onContextMenu: function(event) {
      event.preventDefault(); // the right button is the viewer's
    },

    // The window's listeners, so that drags and keys are followed beyond the canvas.
    listen: function(on) {
      var method = on ? 'addEventListener' : 'removeEventListener';
      Glut.canvas[method]('mousedown', Glut.onMouseDown);
      Glut.canvas[method]('contextmenu', Glut.onContextMenu);
      window[method]('mousemove', Glut.onMouseMove);
      window[method]('mouseup', Glut.onMouseUp);
      window[method]('keydown', Glut.onKeyDown);
      window[method]('keyup', Glut.onKeyUp);
    },
  },

  glutInit: function(argcp, argv) {},

  glutInitDisplayMode: function(mode) {
    if (mode & ~0x12) abort('glutInitDisplayMode: only GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH');
  },

  glutInitWindowSize__deps: ['$Glut'],
  glutInitWindowSize: function(width, height) {
    Glut.width = width;
    Glut.height = height;
  },

  glutInitWindowPosition: function(x, y) {}, // a canvas stays where the page puts it

  // The page keeps its own title. Without WebGL 2 the program stops here
  // quietly, as after an exit, and the page is told.
  glutCreateWindow__deps: ['$Glut'],
  glutCreateWindow: function(title) {
    var canvas = Module['canvas'] || document.getElementById('canvas');
    canvas.width = Glut.width;
    canvas.height = Glut.height;
    if (!Backend.open(canvas)) {
      if (Module['onNoWebGL2']) Module['onNoWebGL2']();
      throw 'unwind';
    }
    Glut.canvas = canvas;
    return 1;
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

  glutTimerFunc__deps: ['$Glut'],
  glutTimerFunc: function(msecs, callback, value) {
    setTimeout(Glut.call, msecs >>> 0, callback, value);
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
    Glut.call(Glut.reshape, Glut.canvas.width, Glut.canvas.height);
    _glutPostRedisplay();
    throw 'unwind';
  },
});
