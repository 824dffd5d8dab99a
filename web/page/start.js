// The page's start-up: loads the viewer where the browser can run it, keeps
// it for visits without a network (service-worker.js), and keeps the page's
// state for visitors (the status line) and for scripts (body data-state):
//   loading      the viewer's files are on their way (index.html's own state)
//   running      the first frame is drawn; the visitor may have paused time
//                (the Pause button, or a wish for reduced motion), which the
//                status line says, and the viewer takes input all the same
//   paused       the browser has taken the GL context away, for now
//   ended        the program has called exit (Escape)
//   unsupported  the browser has no WebGL 2 or no WebAssembly
//   failed       a download, the compile or the program failed; the status
//                line says which, and the first failure stays there
// index.html's Content-Security-Policy runs only the site's own script files:
// code here and in the module sets no inline event handlers or style
// attributes (element.style is fine) and never evaluates strings.
var newerNote = ''; // said after every message once a newer version is ready

function show(state, message) {
  document.body.dataset.state = state;
  document.getElementById('status').textContent = message + newerNote;
}

// A touch screen (as brelox.css decides, to show the on-screen buttons) is
// told of fingers and buttons, never of clicks.
var TOUCH = matchMedia('(pointer: coarse), (hover: none)').matches;
var RUNNING = TOUCH
  ? 'Drag the scene to look around; hold the buttons to move, turn or tilt, tap them for the lights.'
  : 'Click the scene or reach it with Tab to give it the keys; drag it or hold a turn button to look around.';
var PAUSED = 'Paused: press Play to go on.';
var STILL = 'The scene is still, as this device asks for less motion: press Play to set it moving.';
var pauseNote = null; // the status line while the visitor has paused time

function running() {
  show('running', pauseNote || RUNNING);
}

var SCRIPT = 'brelox.js';
var CODE = 'brelox.wasm'; // fetched here rather than by the script: see instantiateWasm
var STALL_MS = 60000; // a minute in which nothing of a download arrives: it hangs
var loading = { file: SCRIPT, watchdog: 0 };

// Restarts the watchdog whenever a download makes progress, and stops it once
// everything has arrived (file null): a slow start is never taken for a hang.
function awaiting(file) {
  clearTimeout(loading.watchdog);
  loading.file = file;
  if (file) loading.watchdog = setTimeout(stalled, STALL_MS);
}

function fail(message) {
  awaiting(null);
  if (document.body.dataset.state !== 'failed') show('failed', message);
}

function notDownloaded(file, reason) {
  var advice = location.protocol === 'file:'
    ? 'Browsers do not run it from a file: serve the folder (make web-serve) and open its address.'
    : 'Check the connection and reload the page.';
  fail('The viewer could not be downloaded (' + file + ': ' + reason + '). ' + advice);
}

function damaged(file, reason) {
  fail('The viewer\u2019s code is damaged (' + file + ': ' + reason + '). Reload the page; if this stays, the site\u2019s copy is broken.');
}

function stopped(reason) {
  fail('The viewer stopped on an error: ' + reason + '. Reload the page to start it again.');
}

function stalled() {
  fail('The viewer\u2019s download stopped (' + loading.file + ': nothing arrived for a minute). Check the connection and reload the page.');
}

// The whole file as bytes, each chunk restarting the watchdog; a failure
// rejects with its reason in words (the HTTP status, or the network's error).
function download(file) {
  return fetch(file).then(function (response) {
    if (!response.ok) throw new Error((response.status + ' ' + response.statusText).trim());
    var reader = response.body.getReader();
    var chunks = [];
    function next(part) {
      if (part.done) return new Blob(chunks).arrayBuffer();
      chunks.push(part.value);
      awaiting(file);
      return reader.read().then(next);
    }
    return reader.read().then(next);
  }).catch(function (error) {
    throw error.message;
  });
}

var Module = {
  canvas: document.getElementById('canvas'),
  onFirstFrame: running,
  // Paused before the first frame only for reduced motion.
  onPause: function (paused) {
    pauseNote = !paused ? null : document.body.dataset.state === 'loading' ? STILL : PAUSED;
    if (document.body.dataset.state === 'running') running();
  },
  onContextLost: function () {
    show('paused', 'The scene is paused until the browser gives the graphics back.');
  },
  onContextRestored: running,
  onContextNotRestored: function () {
    show('failed', 'The browser has not given the graphics back. Reload the page to start the viewer again.');
  },
  onExit: function () { show('ended', 'The viewer has ended. Reload the page to start it again.'); },
  onNoWebGL2: function () {
    show('unsupported', 'This viewer needs WebGL 2 and WebAssembly, which this browser does not provide.');
  },
  onAbort: function (reason) { stopped(String(reason)); },
  // The module's code, downloaded here so that its progress feeds the
  // watchdog and a failure names its cause. The instance goes to the module
  // outside the promise, so that an error in main reaches the window's error
  // listener as any other error would.
  instantiateWasm: function (imports, receiveInstance) {
    awaiting(CODE);
    download(CODE).then(function (bytes) {
      awaiting(null);
      return WebAssembly.instantiate(bytes, imports).then(function (result) {
        setTimeout(receiveInstance, 0, result.instance, result.module);
      }, function (error) { damaged(CODE, error); });
    }, function (reason) { notDownloaded(CODE, reason); });
    return {}; // the exports come later, through receiveInstance
  },
};

// An error nobody caught: while the script is still arriving its code is
// damaged (a syntax error, say); afterwards the program has stopped on it.
window.addEventListener('error', function (event) {
  var reason = String(event.message).replace(/^Uncaught /, '');
  if (loading.file === SCRIPT) damaged(SCRIPT, reason);
  else stopped(reason);
});

// A script element tells only that its download failed: ask once more for
// the reason.
function loadScript() {
  var script = document.createElement('script');
  script.src = SCRIPT;
  script.addEventListener('error', function () {
    download(SCRIPT).then(function () { notDownloaded(SCRIPT, 'the browser refused it'); },
                          function (reason) { notDownloaded(SCRIPT, reason); });
  });
  awaiting(SCRIPT);
  document.body.appendChild(script);
}

// Where the browser has no service workers (a file, or http:// on a host
// other than this machine) or refuses this one, the page runs all the same,
// only not offline.
function keepForOffline() {
  if (!('serviceWorker' in navigator)) return;
  listenForNewerVersion();
  navigator.serviceWorker.register('service-worker.js').catch(function (error) {
    console.info('The viewer will not be kept for offline use: ' + error.message);
  });
}

// The worker says so when a newer build has installed while this page runs
// one from its cache (the network was too slow to wait for). The note stays
// beside whatever the status line says; the page is never reloaded for it,
// the visitor may be mid-way.
function listenForNewerVersion() {
  navigator.serviceWorker.addEventListener('message', function (event) {
    if (event.data !== 'newer' || newerNote) return;
    newerNote = ' A newer version is ready: it will start next time.';
    document.getElementById('status').textContent += newerNote;
  });
  navigator.serviceWorker.startMessages();
}

if (window.WebAssembly && window.WebGL2RenderingContext) {
  loadScript();
  window.addEventListener('load', keepForOffline);
} else {
  Module.onNoWebGL2();
}
