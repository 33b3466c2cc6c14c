#pragma once

struct Iteration;
class Quorvel;

// The checks of an iteration, one per kind of event. Each fills the iteration's outcome ("OK" or
// "FAILED"); the check's value goes to the event's `value`. The iteration posts the outcome, unless
// a stop cut it short.
void RunSqlCheck(Quorvel& event, Iteration& it);
void RunFileCheck(Quorvel& event, Iteration& it);
void RunCounterCheck(Quorvel& event, Iteration& it);
