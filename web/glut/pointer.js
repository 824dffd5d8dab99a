// GLUT's mouse in a web page: buttons pressed on the canvas, and drags
// followed outside it with the pointer's current position, as under X.
mergeInto(LibraryManager.library, {
  $GlutPointer__deps: ['$Glut'],
  $GlutPointer: {
    buttons: 0, // held mouse buttons, one bit each, pressed on the canvas
    x: 0, // the pointer's last position in canvas pixels
    y: 0,

    point: function(event) {
      var canvas = Glut.canvas;
      var rect = canvas.getBoundingClientRect();
      GlutPointer.x = Math.floor((event.clientX - rect.left) * canvas.width / rect.width);
      GlutPointer.y = Math.floor((event.clientY - rect.top) * canvas.height / rect.height);
    },

    // Buttons 0 to 2 are left, middle and right in the page as in GLUT.
    onMouseDown: function(event) {
      if (event.button > 2) return;
      event.preventDefault(); // no text selection while dragging
      Glut.canvas.focus();
      GlutPointer.point(event);
      GlutPointer.buttons |= 1 << event.button;
      Glut.call(Glut.mouse, event.button, 0, GlutPointer.x, GlutPointer.y);
    },

    onMouseMove: function(event) {
      GlutPointer.point(event);
      if (GlutPointer.buttons) Glut.call(Glut.motion, GlutPointer.x, GlutPointer.y);
    },

    onMouseUp: function(event) {
      var bit = 1 << event.button;
      if (!(GlutPointer.buttons & bit)) return;
      GlutPointer.buttons &= ~bit;
      GlutPointer.point(event);
      Glut.call(Glut.mouse, event.button, 1, GlutPointer.x, GlutPointer.y);
    },

    onContextMenu: function(event) {
      event.preventDefault(); // the right button is the viewer's
    },

    // On the window as well as the canvas, so that drags are followed beyond it.
    listen: function(method) {
      Glut.canvas[method]('mousedown', GlutPointer.onMouseDown);
      Glut.canvas[method]('contextmenu', GlutPointer.onContextMenu);
      window[method]('mousemove', GlutPointer.onMouseMove);
      window[method]('mouseup', GlutPointer.onMouseUp);
    },
  },
});
