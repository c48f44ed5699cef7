# Read by ctest after the discovered Wine tests are declared. Tests that
# change or look at the whole desktop run alone: switching the visual style
# off for a moment (no other test program may start meanwhile), and checking
# which window is in front (another test's window could take the front).
set_tests_properties(
  [=[wine.ProgramTest.WithoutVisualStylesStartUpStops]=]
  [=[wine.ProgramTest.SecondStartBringsTheFirstForwardAndEnds]=]
  PROPERTIES RUN_SERIAL TRUE)
