// A page that loses the focus lets go of everything, a browser convention
// GLUT is silent on: keys and buttons released while the page is away never
// reach it. So when the window loses the focus or the page is hidden, every
// key, on-screen button and mouse button reported down is reported up through
// the program's callbacks; the later releases report nothing more. (A pointer
// whose capture is lost is let go by pointer.js and controls.js.)
mergeInto(LibraryManager.library, {
  $GlutFocus__deps: ['$GlutKeyboard', '$GlutControls', '$GlutPointer'],
  $GlutFocus: {
    releaseAll: function() {
      GlutKeyboard.releaseAll();
      GlutControls.releaseAll();
      GlutPointer.releaseAll();
    },

    onVisibilityChange: function() {
      if (document.hidden) GlutFocus.releaseAll();
    },

    listen: function(method) {
      window[method]('blur', GlutFocus.releaseAll);
      document[method]('visibilitychange', GlutFocus.onVisibilityChange);
    },
  },
});
