// The start-up order of a run and the pass loop.
#pragma once

// Runs the program on the argument words; ends through terminate_run.
[[noreturn]] void run_program(int argc, char** argv);
