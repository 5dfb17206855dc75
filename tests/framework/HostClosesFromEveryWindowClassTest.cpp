// Every class of the window factory's table survives a host that deletes its dialog from the
// first notification it hears (HostClosesFromEveryClass.h).
#include "HostClosesFromEveryClass.h"

INSTANTIATE_TEST_SUITE_P(WindowFactory, EveryClass, ::testing::ValuesIn(everyClassOf(ControlTable::Window)), testName);
