#pragma once

namespace brinmor::test {

// True when a Windows build runs under Wine rather than Windows. Tests use it only to skip a
// check where Wine is known to behave otherwise than Windows, and say so in the skip reason.
bool RunningUnderWine();

} // namespace brinmor::test
