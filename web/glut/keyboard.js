// GLUT's keyboard in a web page: keys arrive as freeglut reports them under
// X, characters with their case and special keys by their codes.
mergeInto(LibraryManager.library, {
  $GlutKeyboard__deps: ['$Glut', '$GlutPointer'],
  $GlutKeyboard: {
    // Keys with a character that the page reports by name.
    CHARACTERS: {Backspace: 8, Tab: 9, Enter: 13, Escape: 27, Delete: 127},
    SPECIAL: {
      F1: 1, F2: 2, F3: 3, F4: 4, F5: 5, F6: 6, F7: 7, F8: 8, F9: 9, F10: 10, F11: 11, F12: 12,
      ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103, PageUp: 104, PageDown: 105,
      Home: 106, End: 107, Insert: 108,
    },
    MODIFIERS: {Shift: 112, Control: 114, Alt: 116}, // the left key's code; the right one's is one more
    // Keys whose default action would scroll the page under the viewer.
    SCROLLING: {' ': 1, ArrowLeft: 1, ArrowUp: 1, ArrowRight: 1, ArrowDown: 1, PageUp: 1, PageDown: 1, Home: 1, End: 1},

    // As X's XLookupString: Latin-1 characters, Control turning @ to _ and
    // letters into control characters; -1 for a key without a character.
    character: function(event) {
      var code = event.key.length === 1 ? event.key.charCodeAt(0) : GlutKeyboard.CHARACTERS[event.key];
      if (code === undefined || code > 255) return -1;
      return event.ctrlKey && code >= 64 && code < 128 ? code & 31 : code;
    },

    specialKey: function(event) {
      var modifier = GlutKeyboard.MODIFIERS[event.key];
      if (modifier !== undefined) return modifier + (event.location === KeyboardEvent.DOM_KEY_LOCATION_RIGHT ? 1 : 0);
      var code = GlutKeyboard.SPECIAL[event.key];
      return code === undefined ? -1 : code;
    },

    held: {}, // the keys reported down and not yet up, by physical key

    // A key as the program sees it: its code and whether it is a special
    // key; null for a key GLUT does not report.
    reported: function(event) {
      var code = GlutKeyboard.character(event);
      if (code >= 0) return {special: false, code: code};
      code = GlutKeyboard.specialKey(event);
      return code >= 0 ? {special: true, code: code} : null;
    },

    // Also the on-screen buttons' way to the program (controls.js).
    send: function(key, down) {
      var callback = key.special ? (down ? Glut.special : Glut.specialUp) : (down ? Glut.keyboard : Glut.keyboardUp);
      Glut.input(callback, key.code, GlutPointer.x, GlutPointer.y);
    },

    // On the scene's own buttons too, but for Space, which presses them.
    keepPage: function(event) {
      var target = event.target;
      var onButton = target.localName === 'button' && Glut.canvas.parentElement.contains(target) && event.key !== ' ';
      if (event.key in GlutKeyboard.SCROLLING && (target === Glut.canvas || target === document.body || onButton))
        event.preventDefault();
    },

    // Held keys repeat as further presses, which the viewer takes as they are.
    onKeyDown: function(event) {
      var key = GlutKeyboard.reported(event);
      if (key) {
        GlutKeyboard.held[event.code || event.key] = key;
        GlutKeyboard.send(key, true);
      }
      GlutKeyboard.keepPage(event);
    },

    // As freeglut, the release reports the character the key gives now (Shift
    // may have changed since); a key let go while the page was away, already
    // reported up by releaseAll, reports nothing.
    onKeyUp: function(event) {
      var physical = event.code || event.key;
      var down = GlutKeyboard.held[physical];
      if (down) {
        delete GlutKeyboard.held[physical];
        GlutKeyboard.send(GlutKeyboard.reported(event) || down, false);
      }
      GlutKeyboard.keepPage(event);
    },

    // Each held key up, with the code it went down with.
    releaseAll: function() {
      var held = GlutKeyboard.held;
      GlutKeyboard.held = {};
      for (var physical in held) GlutKeyboard.send(held[physical], false);
    },

    listen: function(method) {
      window[method]('keydown', GlutKeyboard.onKeyDown);
      window[method]('keyup', GlutKeyboard.onKeyUp);
    },
  },
});
