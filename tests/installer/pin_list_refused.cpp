// Compiled by the tests and expected to fail: pin lists no deployment may carry.
#include "installer/SignerKeyPin.h"

#if defined(PIN_CASE_empty)
inline constexpr auto kInstallerSignerKeyPins = MakeSignerKeyPins();
#elif defined(PIN_CASE_malformed)
inline constexpr auto kInstallerSignerKeyPins =
    MakeSignerKeyPins("B5AAE884845830E73E35C38F2D18A56A59B3EEEFCF3212DC1582F1CC27F64F74");
#endif
