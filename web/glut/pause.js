// Time in the viewer stops and goes on at the visitor's word, a browser
// convention (a page's motion can be paused) GLUT is silent on. The Pause
// button (#pause, beside #fullscreen) says "Pause" or "Play"; under
// prefers-reduced-motion the viewer starts paused, after its first frame.
// While paused, timer callbacks that fall due are held and run in order on
// play, so time goes on from exactly where it stopped, no tick lost or added;
// input still reaches the program, and since no tick then asks for a frame,
// one is drawn after each input callback. Module.onPause(paused) tells the page.
mergeInto(LibraryManager.library, {
  $GlutPause__deps: ['$Glut'],
  $GlutPause: {
    paused: false,
    held: [], // [callback, value] of the timers that fell due while paused
    afterTick: [], // to run once the next timer callback has run (controls.js)
    ticks: 0, // timer callbacks run so far
    button: null,

    due: function(callback, value) {
      if (GlutPause.paused) GlutPause.held.push([callback, value]);
      else GlutPause.run(callback, value);
    },

    // A tick nothing waits on allocates nothing.
    run: function(callback, value) {
      var after = GlutPause.afterTick;
      ++GlutPause.ticks;
      if (!after.length) return Glut.call(callback, value);
      GlutPause.afterTick = [];
      Glut.call(callback, value);
      after.forEach(function(then) { then(); });
    },

    set: function(paused) {
      GlutPause.paused = paused;
      if (GlutPause.button) GlutPause.button.textContent = paused ? 'Play' : 'Pause';
      if (Module['onPause']) Module['onPause'](paused);
      if (paused) return;
      var held = GlutPause.held;
      GlutPause.held = [];
      held.forEach(function(timer) { GlutPause.run(timer[0], timer[1]); });
    },

    onButton: function() {
      GlutPause.set(!GlutPause.paused);
    },

    listen: function(method) {
      var button = GlutPause.button = document.getElementById('pause');
      if (button) {
        button.hidden = method !== 'addEventListener';
        button[method]('click', GlutPause.onButton);
      }
      if (method === 'addEventListener' && matchMedia('(prefers-reduced-motion: reduce)').matches) GlutPause.set(true);
    },
  },
});
