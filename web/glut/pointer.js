// GLUT's mouse in a web page, on Pointer Events: buttons pressed on the
// canvas, and drags followed outside it with the pointer's current position
// (pointer capture, as X's implicit grab). A finger or a pen on the canvas is
// the left button. GLUT has one mouse: the pointer that pressed first drives
// it until it has let go; other pointers pressing meanwhile are ignored, and
// each pointer ends only what it started.
mergeInto(LibraryManager.library, {
  $GlutPointer__deps: ['$Glut'],
  $GlutPointer: {
    BUTTON_BITS: [1, 4, 2], // GLUT's left, middle and right buttons in PointerEvent.buttons
    driver: null, // the pointerId that drives GLUT's mouse
    buttons: 0, // its held GLUT buttons, one bit each
    x: 0, // the last position in window coordinates: CSS pixels of the canvas as displayed
    y: 0,

    // From the content box's corner, so that a drag turns one degree per CSS
    // pixel on any screen.
    point: function(event) {
      var canvas = Glut.canvas;
      var rect = canvas.getBoundingClientRect();
      var style = getComputedStyle(canvas);
      GlutPointer.x = Math.floor(event.clientX - rect.left - canvas.clientLeft - parseFloat(style.paddingLeft));
      GlutPointer.y = Math.floor(event.clientY - rect.top - canvas.clientTop - parseFloat(style.paddingTop));
    },

    press: function(button) {
      GlutPointer.buttons |= 1 << button;
      Glut.input(Glut.mouse, button, 0, GlutPointer.x, GlutPointer.y);
    },

    release: function(button) {
      GlutPointer.buttons &= ~(1 << button);
      if (!GlutPointer.buttons) GlutPointer.driver = null;
      Glut.input(Glut.mouse, button, 1, GlutPointer.x, GlutPointer.y);
    },

    // At the last position: a cancelled or lost pointer has no position of its own.
    releaseAll: function() {
      for (var button = 0; button < 3; ++button)
        if (GlutPointer.buttons & 1 << button) GlutPointer.release(button);
      GlutPointer.driver = null;
    },

    // Mouse buttons 0 to 2 are left, middle and right in the page as in GLUT.
    onPointerDown: function(event) {
      var button = event.pointerType === 'mouse' ? event.button : 0;
      if (button > 2 || GlutPointer.driver !== null) return;
      event.preventDefault(); // no text selection while dragging
      Glut.canvas.focus();
      Glut.canvas.setPointerCapture(event.pointerId);
      GlutPointer.driver = event.pointerId;
      GlutPointer.point(event);
      GlutPointer.press(button);
    },

    // A mouse button pressed or released while another is held comes as a
    // move with that button (PointerEvent's chorded buttons).
    chord: function(event) {
      var button = event.button;
      if (event.pointerType !== 'mouse' || button > 2) return;
      if (event.buttons & GlutPointer.BUTTON_BITS[button]) GlutPointer.press(button);
      else if (GlutPointer.buttons & 1 << button) GlutPointer.release(button);
    },

    // Keys report where the mouse is, also while no button is held.
    onPointerMove: function(event) {
      if (event.pointerId !== GlutPointer.driver) {
        if (GlutPointer.driver === null && event.pointerType === 'mouse') GlutPointer.point(event);
        return;
      }
      GlutPointer.point(event);
      if (event.button >= 0) GlutPointer.chord(event);
      else Glut.input(Glut.motion, GlutPointer.x, GlutPointer.y);
    },

    // The last button let go: nothing of this pointer stays held.
    onPointerUp: function(event) {
      if (event.pointerId !== GlutPointer.driver) return;
      GlutPointer.point(event);
      GlutPointer.releaseAll();
    },

    onPointerCancel: function(event) {
      if (event.pointerId === GlutPointer.driver) GlutPointer.releaseAll();
    },

    // After a pointerup the pointer no longer drives, so only a capture lost
    // some other way ends the drag here. Chromium lets a mouse's capture go
    // when one of several held buttons is released: that drag goes on, the
    // mouse's events still reach the window while a button is held.
    onCaptureLost: function(event) {
      var held = event.pointerType === 'mouse' && event.buttons;
      if (event.pointerId === GlutPointer.driver && !held) GlutPointer.releaseAll();
    },

    onContextMenu: function(event) {
      event.preventDefault(); // the right button and a long press are the viewer's
    },

    // Captured pointers' events reach the window through the canvas.
    listen: function(method) {
      Glut.canvas[method]('pointerdown', GlutPointer.onPointerDown);
      Glut.canvas[method]('lostpointercapture', GlutPointer.onCaptureLost);
      Glut.canvas[method]('contextmenu', GlutPointer.onContextMenu);
      window[method]('pointermove', GlutPointer.onPointerMove);
      window[method]('pointerup', GlutPointer.onPointerUp);
      window[method]('pointercancel', GlutPointer.onPointerCancel);
    },
  },
});
