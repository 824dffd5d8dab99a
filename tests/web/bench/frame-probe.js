// Injected before any page script: times every animation frame in which the
// program drew (cleared the WebGL 2 canvas). For each such frame it keeps
// when the callback started, when it returned, and when the GPU had finished
// the frame (a one-pixel read waits for it); all on the page's own clock,
// which starts at navigation.
(() => {
  const frames = [];
  let drew = false;
  const clear = WebGL2RenderingContext.prototype.clear;
  WebGL2RenderingContext.prototype.clear = function (...args) {
    drew = true;
    return clear.apply(this, args);
  };
  const pixel = new Uint8Array(4);
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) =>
    request((time) => {
      drew = false;
      const start = performance.now();
      callback(time);
      const returned = performance.now();
      if (!drew) return;
      const gl = document.getElementById('canvas').getContext('webgl2');
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
      frames.push([start, returned, performance.now()]);
    });
  window.breloxFrames = frames;
})();
