// The page's start-up: loads the viewer where the browser can run it, and
// keeps the page's state for visitors (the status line) and for scripts
// (body data-state: loading, running, paused while the graphics are lost,
// ended, unsupported or failed).
function show(state, message) {
  document.body.dataset.state = state;
  document.getElementById('status').textContent = message;
}

var RUNNING = 'Click the scene to give it the keys; drag it to look around.';

var Module = {
  canvas: document.getElementById('canvas'),
  onFirstFrame: function () { show('running', RUNNING); },
  onContextLost: function () {
    show('paused', 'The scene is paused until the browser gives the graphics back.');
  },
  onContextRestored: function () { show('running', RUNNING); },
  onContextNotRestored: function () {
    show('failed', 'The browser has not given the graphics back. Reload the page to start the viewer again.');
  },
  onExit: function () { show('ended', 'The viewer has ended. Reload the page to start it again.'); },
  onNoWebGL2: function () {
    show('unsupported', 'This viewer needs WebGL 2 and WebAssembly, which this browser does not provide.');
  },
  onAbort: function () { show('failed', 'The viewer stopped on an error. Reload the page to start it again.'); },
};

if (window.WebAssembly && window.WebGL2RenderingContext) {
  var script = document.createElement('script');
  script.src = 'brelox.js';
  document.body.appendChild(script);
} else {
  Module.onNoWebGL2();
}
