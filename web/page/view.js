// What the view shows, in words, for a visitor who cannot see it: #view, a
// polite live region, names the objects in view, where in it and roughly
// how near, and the lights; with none in view, which way to turn for the
// nearest. It speaks once the visitor's last change (a turn, a move, a tilt,
// the lights, Pause or Play) has settled for QUIET_MS; while a change goes on,
// as under a held button, at most once every QUIET_MS and only something
// new. It watches the camera, the lights and Pause alone, so the boxes'
// own motion never makes it speak. Built after start.js into one script.
(function () {
  var QUIET_MS = 1000;
  var POLL_MS = 200;
  // As src/render/projection.cpp: 60 degrees from the view's top to its
  // bottom, as wide as the window's aspect makes it, 0.1 to 60 deep.
  var TAN_HALF_HEIGHT = Math.tan(Math.PI / 6);
  var NEAR = 0.1;
  var FAR = 60;
  var DEGREE = Math.PI / 180;
  // As src/render/scene_draw.cpp: each object's name and the radius it
  // lies within from its centre (a box is 2 x 1 x 2).
  var OBJECTS = [['the green and red box', 1.5], ['the blue and purple box', 1.5], ['the yellow and teal box', 1.5],
    ['the yellow sphere', 1]];
  var AXIS = [0.35 / Math.hypot(0.35, 1), 1 / Math.hypot(0.35, 1)]; // the yellow and teal box's, x and y
  // The least distance from an object's edge for each word.
  var NEARNESS = [[20, 'far off'], [8, 'far'], [2, 'near'], [0, 'close'], [-Infinity, 'around you']];
  // By the lights on, light 0 counting 1 and light 1 counting 2; L and K
  // never turn both on.
  var LIGHTS = ['Dark: both lights are off.', 'The head light is on.', 'The side light is on.'];

  var region = document.getElementById('view');
  var paused = false;
  var onPause = Module.onPause;
  Module.onPause = function (now) {
    paused = now;
    onPause(now);
  };

  // The scene record (src/app/scene_state.h, laid out for wasm32) and the
  // GL layer's lights.
  function read() {
    var at = Module._breloxScene(), f64 = Module.HEAPF64, f32 = Module.HEAPF32;
    return {
      eye: [f64[at / 8], f64[at / 8 + 1], f64[at / 8 + 2]],
      look: [f64[at / 8 + 3], f64[at / 8 + 4], f64[at / 8 + 5]],
      spins: [f32[at / 4 + 16], f32[at / 4 + 17]],
      lights: Module._glIsEnabled(0x4000) + 2 * Module._glIsEnabled(0x4001), // GL_LIGHT0, GL_LIGHT1
    };
  }

  // The objects' centres at the spins: the first box's spins in place, the
  // blue one circles it at the spins' difference, the third turns its centre
  // about a tilted axis (Rodrigues' formula), the sphere stands still.
  function centres(spins) {
    var circling = (spins[1] - spins[0] + 120) * DEGREE, tilted = spins[1] * DEGREE;
    var cos = Math.cos(tilted), x = AXIS[0], y = AXIS[1];
    return [[0, 0.5, 0], [Math.cos(circling), 1.7, -Math.sin(circling)],
      [0.3 + 0.5 * x * y * (1 - cos), 3.1 + 0.5 * (cos + y * y * (1 - cos)), 0.5 * x * Math.sin(tilted)], [12, 1, 0]];
  }

  var dot = function (a, b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
  var unit = function (v) { var length = Math.sqrt(dot(v, v)); return v.map(function (x) { return x / length; }); };

  // Each object in the camera's frame, as gluLookAt places it: across to the
  // right, up, and depth ahead; and whether any of it is inside the frustum.
  function place(view, tanWidth) {
    var forward = unit(view.look);
    var right = unit([-forward[2], 0, forward[0]]);
    var up = [right[1] * forward[2] - right[2] * forward[1], right[2] * forward[0] - right[0] * forward[2],
      right[0] * forward[1] - right[1] * forward[0]];
    var centre = centres(view.spins);
    return OBJECTS.map(function (object, i) {
      var radius = object[1];
      var d = centre[i].map(function (x, j) { return x - view.eye[j]; });
      var x = dot(d, right), y = dot(d, up), depth = dot(d, forward);
      var outside = function (across, tan) { return across - tan * depth > radius * Math.sqrt(1 + tan * tan); };
      return {
        name: object[0], x: x, y: y, depth: depth,
        gap: Math.sqrt(dot(d, d)) - radius,
        seen: depth > NEAR - radius && depth < FAR + radius && !outside(Math.abs(x), tanWidth) &&
          !outside(Math.abs(y), TAN_HALF_HEIGHT),
      };
    });
  }

  // A third of the view's half from its middle counts as ahead.
  function where(object, tanWidth) {
    if (object.gap < 0) return '';
    var depth = Math.max(object.depth, 1e-9);
    var across = object.x / (depth * tanWidth), up = object.y / (depth * TAN_HALF_HEIGHT);
    var words = [];
    if (Math.abs(up) > 1 / 3) words.push(up > 0 ? 'above' : 'below');
    if (Math.abs(across) > 1 / 3) words.push(across > 0 ? 'to the right' : 'to the left');
    return (words.join(' and ') || 'ahead') + ', ';
  }

  // Out of view to a side or behind: a turn, to the nearest 15 degrees; in
  // line but past the far plane: forward; else above or below.
  function way(nearest, tanWidth) {
    var angle = Math.atan2(nearest.x, nearest.depth) / DEGREE;
    if (Math.abs(angle) > Math.atan(tanWidth) / DEGREE)
      return 'turn ' + (angle > 0 ? 'right' : 'left') + ' about ' + (Math.round(Math.abs(angle) / 15) * 15 || 15) + ' degrees';
    if (nearest.depth > FAR) return 'move forward';
    return 'tilt ' + (nearest.y > 0 ? 'up' : 'down');
  }

  function describe(view) {
    var canvas = Module.canvas;
    var tanWidth = TAN_HALF_HEIGHT * canvas.clientWidth / (canvas.clientHeight || 1);
    var objects = place(view, tanWidth).sort(function (a, b) { return a.gap - b.gap; });
    var seen = objects.filter(function (object) { return object.seen; });
    var text = seen.length
      ? 'In view: ' + seen.map(function (object) {
        var nearness = NEARNESS.find(function (bound) { return object.gap >= bound[0]; })[1];
        return object.name + ', ' + where(object, tanWidth) + nearness;
      }).join('; ') + '.'
      : 'Nothing in view; for the nearest, ' + objects[0].name + ', ' + way(objects[0], tanWidth) + '.';
    return text + ' ' + LIGHTS[view.lights] + (paused ? ' Paused.' : '');
  }

  // watched: the camera, the lights and Pause when last polled; pending: a
  // change that has not settled and been spoken of; since: when it began, or
  // last spoke while it went on; spoke: whether it has, so that a settled
  // view it has just described is not said twice.
  var watched = '';
  var changedAt = 0, since = 0, pending = false, spoke = false;

  function poll() {
    var state = document.body.dataset.state;
    if (/ended|failed|unsupported/.test(state)) return clearInterval(timer);
    if (state !== 'running' && state !== 'paused') return;
    var view = read(), now = performance.now();
    var key = JSON.stringify([view.eye, view.look, view.lights, paused]);
    if (!watched) { // as the page opens
      watched = key;
      region.textContent = describe(view);
      return;
    }
    if (key !== watched) {
      if (!pending) since = now;
      watched = key;
      changedAt = now;
      pending = true;
    }
    var settled = now - changedAt >= QUIET_MS;
    if (!pending || (!settled && now - since < QUIET_MS)) return;
    var text = describe(view);
    if (text !== region.textContent || (settled && !spoke)) {
      region.textContent = text;
      spoke = true;
    }
    since = now;
    if (settled) pending = spoke = false;
  }

  var timer = setInterval(poll, POLL_MS);
})();
