// The GLUT window in a web page is the canvas as displayed: its size in CSS
// pixels is the window's size, which the reshape callback and pointer
// positions use, so that a drag turns one degree per CSS pixel on any screen.
// The drawing buffer holds that size times devicePixelRatio, so that edges
// are sharp; glViewport maps window units to buffer pixels (backend.js).
// Whenever the displayed size or the ratio changes, the program gets a
// reshape and a frame, as freeglut gives a resized window.
mergeInto(LibraryManager.library, {
  $GlutWindow__deps: ['$Glut', '$Backend'],
  $GlutWindow: {
    // The buffer's longer side at most this many device pixels: a 4K
    // screen's width. Past it a phone or a zoomed page would ask for a
    // buffer of 100 MB or more whose extra pixels no one can see.
    MAX_BUFFER_SIDE: 4096,
    width: 300, // freeglut's initial window size, until the canvas is measured
    height: 300,
    observer: null,

    // Buffer pixels per window unit for a window of width x height, within
    // the cap and what the context can draw.
    scale: function(width, height, ratio) {
      var limit = Math.min(GlutWindow.MAX_BUFFER_SIDE, Backend.maxBufferSide);
      return Math.min(ratio, limit / Math.max(width, height, 1));
    },

    // Sizes in window units and in buffer pixels; a canvas not laid out
    // (display: none) keeps the size the program asked for.
    resize: function(width, height, bufferWidth, bufferHeight) {
      var canvas = Glut.canvas;
      if (width < 1 || height < 1) return;
      var changed = width !== GlutWindow.width || height !== GlutWindow.height;
      GlutWindow.width = width;
      GlutWindow.height = height;
      if (bufferWidth !== canvas.width || bufferHeight !== canvas.height) {
        canvas.width = bufferWidth;
        canvas.height = bufferHeight;
        changed = true;
      }
      Backend.scale = [bufferWidth / width, bufferHeight / height];
      if (!changed || !Glut.running) return;
      // A new buffer is blank: draw into it now, before the page shows it.
      Glut.call(Glut.reshape, width, height);
      Glut.draw();
    },

    // The first size, before any callback runs.
    measure: function() {
      var canvas = Glut.canvas;
      var width = canvas.clientWidth || GlutWindow.width;
      var height = canvas.clientHeight || GlutWindow.height;
      var scale = GlutWindow.scale(width, height, window.devicePixelRatio || 1);
      GlutWindow.resize(width, height, Math.round(width * scale), Math.round(height * scale));
    },

    // Device pixels come exact where the browser reports them; elsewhere,
    // or where they disagree with the ratio (as under device emulation), the
    // CSS size times the ratio, rounded.
    onResize: function(entries) {
      var entry = entries[entries.length - 1];
      var css = entry.contentBoxSize[0];
      var width = Math.round(css.inlineSize), height = Math.round(css.blockSize);
      var ratio = window.devicePixelRatio || 1;
      var scale = GlutWindow.scale(width, height, ratio);
      var device = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
      var exact = device && scale === ratio && Math.abs(device.inlineSize - css.inlineSize * ratio) < 1 &&
                  Math.abs(device.blockSize - css.blockSize * ratio) < 1;
      GlutWindow.resize(width, height, exact ? device.inlineSize : Math.round(width * scale),
                        exact ? device.blockSize : Math.round(height * scale));
    },

    observe: function(on) {
      if (!window.ResizeObserver) return;
      if (!on) return GlutWindow.observer && GlutWindow.observer.disconnect();
      GlutWindow.observer = new ResizeObserver(GlutWindow.onResize);
      try {
        GlutWindow.observer.observe(Glut.canvas, {box: 'device-pixel-content-box'});
      } catch (e) {
        GlutWindow.observer.observe(Glut.canvas); // a browser without device-pixel boxes
      }
    },
  },
});
