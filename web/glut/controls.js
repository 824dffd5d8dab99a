// The on-screen buttons over the scene for touch screens (index.html): each
// names its key, data-key a character and data-special a GLUT special key
// code, and sends it through the program's keyboard callbacks as that key
// would: down when pressed, up when released, cancelled or its pointer's
// capture lost. Each pointer ends only what it started; a button held by
// several pointers goes up when the last lets go.
mergeInto(LibraryManager.library, {
  $GlutControls__deps: ['$Glut', '$GlutKeyboard'],
  $GlutControls: {
    buttons: [], // {element, key, pointers: the pointerIds holding it}

    // A button naming no key, or a key GLUT cannot report, is the page's mistake.
    key: function(element) {
      var character = element.dataset.key, special = element.dataset.special;
      if (character !== undefined && character.length === 1 && character.charCodeAt(0) < 256)
        return {special: false, code: character.charCodeAt(0)};
      if (special !== undefined && /^[0-9]+$/.test(special)) return {special: true, code: Number(special)};
      abort('on-screen button "' + element.getAttribute('aria-label') + '" names no key');
    },

    find: function() {
      var elements = document.querySelectorAll('button[data-key], button[data-special]');
      GlutControls.buttons = Array.prototype.map.call(elements, function(element) {
        return {element: element, key: GlutControls.key(element), pointers: new Set()};
      });
    },

    button: function(element) {
      return GlutControls.buttons.find(function(button) { return button.element === element; });
    },

    // Captured, so that a thumb sliding off keeps the key held until it lifts.
    // Cancelling the press keeps the keys with the canvas and the page still.
    onPointerDown: function(event) {
      if (event.button !== 0) return;
      event.preventDefault();
      var button = GlutControls.button(event.currentTarget);
      event.currentTarget.setPointerCapture(event.pointerId);
      button.pointers.add(event.pointerId);
      if (button.pointers.size > 1) return;
      button.element.classList.add('held');
      GlutKeyboard.send(button.key, true);
    },

    up: function(button) {
      button.element.classList.remove('held');
      GlutKeyboard.send(button.key, false);
    },

    onPointerEnd: function(event) {
      var button = GlutControls.button(event.currentTarget);
      if (button.pointers.delete(event.pointerId) && !button.pointers.size) GlutControls.up(button);
    },

    releaseAll: function() {
      GlutControls.buttons.forEach(function(button) {
        if (!button.pointers.size) return;
        button.pointers.clear();
        GlutControls.up(button);
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
        element[method]('contextmenu', GlutControls.onContextMenu);
      });
    },
  },
});
