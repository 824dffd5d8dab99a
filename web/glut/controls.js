// The on-screen buttons over the scene (index.html): each names its key,
// data-key a character and data-special a GLUT special key code, and sends
// it through the program's keyboard callbacks as that key would, down while
// anything holds the button and up when the last holder lets go; or it names
// a direction to turn, data-turn -1 (left) or 1 (right), and turns while held
// (turn.js). Holders: a pointer, from its press until it is released,
// cancelled or loses its capture; Space or Enter on the focused button, until
// released or the focus leaves (its repeats are the key's own, sent on by
// keyboard.js); and a click that no press on the button came before (a
// screen reader's lone activation), which lets go at once.
//
// A key goes up no sooner than a tick (pause.js) after it went down, so that
// every press moves a step: the other form of a screen reader's press too,
// the mouse's press, release and click all in one task.
mergeInto(LibraryManager.library, {
  $GlutControls__deps: ['$Glut', '$GlutKeyboard', '$GlutPause', '$GlutTurn'],
  $GlutControls: {
    // {element, key or turn (a direction), holds: pointerIds, 'key' and
    // 'click'; keyCode: the key holding it; keyed: Space or Enter in the task
    // now running, whose click is theirs; downTick: the tick its key went
    // down in; upPending: its key waits for a tick to go up; turning}
    buttons: [],
    KEYS: {' ': 1, Enter: 1},

    // A button naming no key, or a key GLUT cannot report, is the page's mistake.
    key: function(element) {
      var character = element.dataset.key, special = element.dataset.special;
      if (character !== undefined && character.length === 1 && character.charCodeAt(0) < 256)
        return {special: false, code: character.charCodeAt(0)};
      if (special !== undefined && /^[0-9]+$/.test(special)) return {special: true, code: Number(special)};
      abort('on-screen button "' + element.getAttribute('aria-label') + '" names no key');
    },

    find: function() {
      var elements = document.querySelectorAll('button[data-key], button[data-special], button[data-turn]');
      GlutControls.buttons = Array.prototype.map.call(elements, function(element) {
        var turn = Number(element.dataset.turn) || 0;
        return {element: element, key: turn ? null : GlutControls.key(element), turn: turn, holds: new Set(),
                keyCode: '', keyed: false, downTick: 0, upPending: false, turning: null};
      });
    },

    button: function(element) {
      return GlutControls.buttons.find(function(button) { return button.element === element; });
    },

    // A press while the key waits to go up is the key's repeat, as a held key's.
    hold: function(button, holder) {
      button.holds.add(holder);
      if (button.holds.size > 1) return;
      button.element.classList.add('held');
      if (button.turn) {
        button.turning = GlutTurn.start(button.turn);
        return;
      }
      button.upPending = false;
      button.downTick = GlutPause.ticks;
      GlutKeyboard.send(button.key, true);
    },

    letGo: function(button, holder) {
      if (!button.holds.delete(holder) || button.holds.size) return;
      if (button.turn) GlutTurn.stop(button.turning);
      if (button.turn || GlutPause.ticks !== button.downTick) return GlutControls.up(button);
      if (!button.upPending) GlutPause.afterTick.push(function() {
        if (button.upPending && !button.holds.size) GlutControls.up(button);
      });
      button.upPending = true;
    },

    up: function(button) {
      button.upPending = false;
      button.element.classList.remove('held');
      if (!button.turn) GlutKeyboard.send(button.key, false);
    },

    // Captured, so that a thumb sliding off keeps the key held until it lifts.
    // Cancelling the press keeps the keys with the canvas and the page still.
    onPointerDown: function(event) {
      if (event.button !== 0) return;
      event.preventDefault();
      event.currentTarget.setPointerCapture(event.pointerId);
      GlutControls.hold(GlutControls.button(event.currentTarget), event.pointerId);
    },

    onPointerEnd: function(event) {
      GlutControls.letGo(GlutControls.button(event.currentTarget), event.pointerId);
    },

    // Enter clicks on each press and Space on its release, if at all, in the
    // key event's own task.
    keyed: function(button) {
      button.keyed = true;
      setTimeout(function() { button.keyed = false; });
    },

    onKeyDown: function(event) {
      if (!(event.key in GlutControls.KEYS)) return;
      var button = GlutControls.button(event.currentTarget);
      GlutControls.keyed(button);
      if (event.repeat || button.holds.has('key')) return;
      button.keyCode = event.code || event.key;
      GlutControls.hold(button, 'key');
    },

    onKeyUp: function(event) {
      var button = GlutControls.button(event.currentTarget);
      if (event.key in GlutControls.KEYS) GlutControls.keyed(button);
      if ((event.code || event.key) === button.keyCode) GlutControls.letGo(button, 'key');
    },

    onBlur: function(event) {
      GlutControls.letGo(GlutControls.button(event.currentTarget), 'key');
    },

    // A pointer's click says so, by its pointer type where a click is a
    // PointerEvent and else by its count; a key's or a screen reader's has
    // neither. A pointer may give no click at all (a long press).
    onClick: function(event) {
      var button = GlutControls.button(event.currentTarget);
      var pointer = event.pointerType === undefined ? event.detail > 0 : event.pointerType !== '';
      if (pointer || button.keyed) return;
      GlutControls.hold(button, 'click');
      GlutControls.letGo(button, 'click');
    },

    releaseAll: function() {
      GlutControls.buttons.forEach(function(button) {
        button.holds.forEach(function(holder) { GlutControls.letGo(button, holder); });
        if (button.upPending) GlutControls.up(button); // now: a paused tick would never come
      });
    },

    onContextMenu: function(event) {
      event.preventDefault(); // a long press is a held key
    },

    listen: function(method) {
      if (method === 'addEventListener') GlutControls.find();
      GlutControls.buttons.forEach(function(button) {
        var element = button.element;
        element[method]('pointerdown', GlutControls.onPointerDown);
        element[method]('pointerup', GlutControls.onPointerEnd);
        element[method]('pointercancel', GlutControls.onPointerEnd);
        element[method]('lostpointercapture', GlutControls.onPointerEnd);
        element[method]('keydown', GlutControls.onKeyDown);
        element[method]('keyup', GlutControls.onKeyUp);
        element[method]('blur', GlutControls.onBlur);
        element[method]('click', GlutControls.onClick);
        element[method]('contextmenu', GlutControls.onContextMenu);
      });
    },
  },
});
