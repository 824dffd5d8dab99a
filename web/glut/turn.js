// Turning without a drag, a browser convention GLUT is silent on: the page's
// Turn left and Turn right buttons (controls.js) turn the view as a
// horizontal drag does, through the program's own mouse callbacks. A press
// turns STEP pixels at once, however short (a screen reader's press has no
// length at all), and one held turns on from there at PER_MS pixels a
// millisecond, in whole pixels by the time held, however late the timer
// runs. Pause stops no turn, as it stops no drag.
//
// Each step is a left press, a motion and a release: a drag across that many
// pixels that ends where GLUT's mouse last was. GLUT programs take a press
// as where a drag starts (this one keeps it as the anchor that motions turn
// from), so after a step the program holds the mouse's own position, as after
// any drag that ended there. A drag going on meanwhile therefore continues
// as if the step had not come between two of its motions, each turning as
// far as it moves; and a step, level from press to motion, never tilts.
mergeInto(LibraryManager.library, {
  $GlutTurn__deps: ['$Glut', '$GlutPointer'],
  $GlutTurn: {
    STEP: 15,
    PER_MS: 0.09,
    INTERVAL_MS: 20,
    turns: [], // {direction: -1 or 1, since: ms, turned: pixels}
    timer: 0,

    drag: function(pixels) {
      var x = GlutPointer.x, y = GlutPointer.y;
      Glut.input(Glut.mouse, 0, 0, x - pixels, y); // GLUT_LEFT_BUTTON, GLUT_DOWN
      Glut.input(Glut.motion, x, y);
      Glut.input(Glut.mouse, 0, 1, x, y); // GLUT_UP
    },

    // The pixels every held turn owes by now, left and right summed.
    advance: function() {
      var now = performance.now(), pixels = 0;
      if (Glut.ended) return GlutTurn.stop(null);
      GlutTurn.turns.forEach(function(turn) {
        var due = Math.max(GlutTurn.STEP, Math.floor((now - turn.since) * GlutTurn.PER_MS));
        pixels += turn.direction * (due - turn.turned);
        turn.turned = due;
      });
      if (pixels) GlutTurn.drag(pixels);
    },

    start: function(direction) {
      var turn = {direction: direction, since: performance.now(), turned: 0};
      GlutTurn.turns.push(turn);
      GlutTurn.advance();
      if (!GlutTurn.timer) GlutTurn.timer = setInterval(GlutTurn.advance, GlutTurn.INTERVAL_MS);
      return turn;
    },

    // Up to the moment of release; null ends every turn, turning no further.
    stop: function(turn) {
      if (turn) GlutTurn.advance();
      GlutTurn.turns = GlutTurn.turns.filter(function(other) { return turn && other !== turn; });
      if (GlutTurn.turns.length) return;
      clearInterval(GlutTurn.timer);
      GlutTurn.timer = 0;
    },
  },
});
