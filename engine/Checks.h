#pragma once

struct Iteration;
class Quorvel;

// The checks of an iteration, one per kind of event. Each posts "Check passed" or "Check
// failed" and fills the iteration's outcome; the check's value goes to the event's `value`.
void RunSqlCheck(Quorvel& event, int row, Iteration& it);
void RunFileCheck(Quorvel& event, int row, Iteration& it);
void RunCounterCheck(Quorvel& event, int row, Iteration& it);
