// Injected before any page script: records every animation frame in which
// the program drew (cleared the WebGL 2 canvas) as [callback start, callback
// end], on the page's own clock, which starts at navigation.
(() => {
  const frames = [];
  let drew = false;
  const clear = WebGL2RenderingContext.prototype.clear;
  WebGL2RenderingContext.prototype.clear = function (...args) {
    drew = true;
    return clear.apply(this, args);
  };
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) =>
    request((time) => {
      drew = false;
      const start = performance.now();
      callback(time);
      if (drew) frames.push([start, performance.now()]);
    });
  window.breloxFrames = frames;
})();
