// GLUT's window in a web page: the canvas as the page displays it. Its size
// is in CSS pixels, the unit of pointer positions, so a drag turns the view
// as far on any screen; the drawing buffer behind it holds that size times
// devicePixelRatio (backend.js scales glViewport), so edges stay sharp. The
// page's style sheet gives the canvas its size, as a window manager may
// override the size a program asks for. Whenever that size changes (a
// resize, an orientation change, full screen in or out), the program gets a
// reshape and a frame, as freeglut gives it on a resized window.
//
// The full-screen button (#fullscreen, in the canvas's parent: the stage)
// shows the stage on the whole screen through the Fullscreen API, or where
// the browser has none, fills the viewport with CSS (the fills-viewport
// class on the body).
//
// A lost WebGL context pauses the drawing; the program runs on. Hooks on
// Module: onContextLost() at the loss, onContextRestored() once the scene
// is drawn again, onContextNotRestored() if the browser has not given the
// context back after NOT_RESTORED_MS (it may still do so later).
mergeInto(LibraryManager.library, {
  $GlutWindow__deps: ['$Glut', '$Backend', 'glutPostRedisplay'],
  $GlutWindow: {
    NOT_RESTORED_MS: 4000,
    width: 0, // CSS pixels
    height: 0,
    cssSize: [0, 0], // as laid out: fractional
    observer: null,
    ratioQuery: null, // matches the devicePixelRatio the buffer was sized for
    button: null,
    filling: false,
    restoreTimer: 0,

    // The device pixels of a box of cssSize: devicePixelContentBoxSize where
    // it agrees with devicePixelRatio, which it does not under emulation
    // (there it counts the host's pixels); else the nearest whole pixels.
    devicePixels: function(cssSize, exact) {
      var ratio = window.devicePixelRatio || 1;
      var pixels = [Math.round(cssSize[0] * ratio), Math.round(cssSize[1] * ratio)];
      if (exact && Math.abs(exact.inlineSize - pixels[0]) <= 1 && Math.abs(exact.blockSize - pixels[1]) <= 1)
        return [exact.inlineSize, exact.blockSize];
      return pixels;
    },

    // The window is the nearest whole size to what is displayed, so that the
    // aspect ratio the program is given is the one seen and the sphere stays
    // round; a pointer position (floored) is then at most on the far edge.
    // Says whether the window and whether its buffer changed.
    size: function(cssSize, exact) {
      var width = Math.round(cssSize[0]);
      var height = Math.round(cssSize[1]);
      var pixels = GlutWindow.devicePixels(cssSize, exact);
      var reshaped = width !== GlutWindow.width || height !== GlutWindow.height;
      GlutWindow.cssSize = cssSize;
      GlutWindow.width = width;
      GlutWindow.height = height;
      return {reshaped: reshaped, cleared: Backend.resize(width, height, pixels[0], pixels[1])};
    },

    // At creation, from the style sheet; the observer follows from then on.
    open: function(canvas) {
      var style = getComputedStyle(canvas);
      GlutWindow.size([parseFloat(style.width) || canvas.width, parseFloat(style.height) || canvas.height], null);
      canvas.addEventListener('webglcontextlost', GlutWindow.onContextLost);
      canvas.addEventListener('webglcontextrestored', GlutWindow.onContextRestored);
    },

    // A resized buffer is blank: the new frame is drawn at once, in the same
    // rendering step (observers run after animation frames, before paint),
    // so that no blank frame shows.
    resized: function(cssSize, exact) {
      var changed = GlutWindow.size(cssSize, exact);
      if (!changed.reshaped && !changed.cleared) return;
      if (changed.reshaped) Glut.call(Glut.reshape, GlutWindow.width, GlutWindow.height);
      cancelAnimationFrame(Glut.frame);
      Glut.draw();
    },

    onResize: function(entries) {
      var entry = entries[entries.length - 1];
      var exact = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
      GlutWindow.resized([entry.contentRect.width, entry.contentRect.height], exact);
    },

    // A new devicePixelRatio alone (zoom, another screen) moves no box.
    watchRatio: function(on) {
      if (GlutWindow.ratioQuery) GlutWindow.ratioQuery.removeEventListener('change', GlutWindow.onRatio);
      GlutWindow.ratioQuery = on ? matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)') : null;
      if (on) GlutWindow.ratioQuery.addEventListener('change', GlutWindow.onRatio);
    },

    onRatio: function() {
      GlutWindow.watchRatio(true);
      GlutWindow.resized(GlutWindow.cssSize, null);
    },

    onContextLost: function(event) {
      Backend.lose(event);
      if (Glut.ended) return;
      GlutWindow.restoreTimer = setTimeout(GlutWindow.notRestored, GlutWindow.NOT_RESTORED_MS);
      if (Module['onContextLost']) Module['onContextLost']();
    },

    notRestored: function() {
      if (Backend.lost && !Glut.ended && Module['onContextNotRestored']) Module['onContextNotRestored']();
    },

    onContextRestored: function() {
      clearTimeout(GlutWindow.restoreTimer);
      Backend.restore();
      if (Glut.ended) return;
      _glutPostRedisplay();
      if (Module['onContextRestored']) Module['onContextRestored']();
    },

    fullscreen: function() {
      return GlutWindow.filling || document.fullscreenElement === Glut.canvas.parentElement;
    },

    fill: function(on) {
      GlutWindow.filling = on;
      document.body.classList.toggle('fills-viewport', on);
      GlutWindow.label();
    },

    label: function() {
      GlutWindow.button.textContent = GlutWindow.fullscreen() ? 'Leave full screen' : 'Full screen';
    },

    // The scene keeps the keys: Space or Enter would press the button again.
    onButton: function() {
      var stage = Glut.canvas.parentElement;
      if (document.fullscreenElement) document.exitFullscreen();
      else if (GlutWindow.filling) GlutWindow.fill(false);
      else if (document.fullscreenEnabled && stage.requestFullscreen)
        stage.requestFullscreen().catch(function() { GlutWindow.fill(true); });
      else GlutWindow.fill(true);
      Glut.canvas.focus();
    },

    // From the main loop to the end of the viewer, which leaves full screen
    // so that the page can say it has ended.
    listen: function(on) {
      var method = on ? 'addEventListener' : 'removeEventListener';
      GlutWindow.watchRatio(on);
      if (on) {
        GlutWindow.observer = new ResizeObserver(GlutWindow.onResize);
        try {
          GlutWindow.observer.observe(Glut.canvas, {box: 'device-pixel-content-box'});
        } catch (e) { // a browser without that box
          GlutWindow.observer.observe(Glut.canvas);
        }
      } else if (GlutWindow.observer) {
        GlutWindow.observer.disconnect();
        if (GlutWindow.fullscreen()) GlutWindow.onButton();
      }
      var button = GlutWindow.button = document.getElementById('fullscreen');
      if (!button) return;
      button.hidden = !on;
      button[method]('click', GlutWindow.onButton);
      document[method]('fullscreenchange', GlutWindow.label);
    },
  },

  glutInitWindowSize: function(width, height) {}, // the page's style sheet sizes the canvas
  glutInitWindowPosition: function(x, y) {}, // a canvas stays where the page puts it

  // The page keeps its own title. Without WebGL 2 the program stops here
  // quietly, as after an exit, and the page is told.
  glutCreateWindow__deps: ['$Glut', '$GlutWindow'],
  glutCreateWindow: function(title) {
    var canvas = Module['canvas'] || document.getElementById('canvas');
    if (!Backend.open(canvas)) {
      if (Module['onNoWebGL2']) Module['onNoWebGL2']();
      throw 'unwind';
    }
    Glut.canvas = canvas;
    GlutWindow.open(canvas);
    return 1;
  },
});
