#pragma once

struct Iteration;
class Quorvel;

// The checks of an iteration, one per kind of event. Each fills the iteration's outcome ("OK" or
// "FAILED"); the check's value goes to the event's `value`. The iteration posts the outcome, unless
// a stop cut it short.
void RunSqlCheck(Quorvel& event, Iteration& it);
void RunFileCheck(Quorvel& event, Iteration& it);
void RunCounterCheck(Quorvel& event, Iteration& it);

// Ends the iteration's use of a connection taken from the run's pool: it goes back, or is closed
// when it failed, timed out or a stop cut it short. Nothing for an event that keeps its own.
void GiveBackConnection(Quorvel& event, const Iteration& it);
