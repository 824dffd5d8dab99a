// A lost WebGL context (a GPU reset, or a phone reclaiming a background
// tab's memory) is a browser convention GLUT is silent on. The viewer keeps
// running, its ticks and input changing the scene, but draws nothing until
// the browser gives the context back; then the GL layer is rebuilt from the
// state it keeps and the scene comes back as it is by then. The page hears
// of each step: onContextLost(), onContextRestored(), and
// onContextNotRestored() when the browser has not given it back in time.
mergeInto(LibraryManager.library, {
  $GlutContext__deps: ['$Glut', '$Backend', 'glutPostRedisplay'],
  $GlutContext: {
    // Long enough for a browser that restores (Chromium takes about a
    // second), short enough that a visitor is not left waiting on a promise.
    RESTORE_WAIT_MS: 5000,
    lost: false,
    waiting: 0,

    hook: function(name) {
      if (Module[name]) Module[name]();
    },

    // Only a loss whose default is prevented may be restored.
    onLost: function(event) {
      event.preventDefault();
      GlutContext.lost = true;
      GlutContext.hook('onContextLost');
      GlutContext.waiting = setTimeout(GlutContext.hook, GlutContext.RESTORE_WAIT_MS, 'onContextNotRestored');
    },

    onRestored: function() {
      clearTimeout(GlutContext.waiting);
      Backend.restore();
      GlutContext.lost = false;
      GlutContext.hook('onContextRestored');
      _glutPostRedisplay();
    },

    listen: function(method) {
      Glut.canvas[method]('webglcontextlost', GlutContext.onLost);
      Glut.canvas[method]('webglcontextrestored', GlutContext.onRestored);
    },
  },
});
