#pragma once

// Counts every global operator new of a program that links allocationCounter.cpp, so a test or
// a benchmark can show that a warm code path allocates nothing. One definition per program:
// the replacement operators are global.
long allocationCount();
