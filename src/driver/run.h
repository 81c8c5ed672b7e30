#pragma once

// One whole run on the command line `argv`; returns the exit status of a
// run that got to its end (every failure ends the process where it is found).
int runHxdemux(int argc, char** argv);
