// Every class of the panel factory's table survives a host that deletes its dialog from the
// first notification it hears (HostClosesFromEveryClass.h).
#include "HostClosesFromEveryClass.h"

INSTANTIATE_TEST_SUITE_P(PanelFactory, EveryClass, ::testing::ValuesIn(everyClassOf(ControlTable::Panel)), testName);
