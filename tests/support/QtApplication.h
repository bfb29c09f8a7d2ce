#pragma once

namespace brinmor::test {

// Makes sure a QApplication exists (the tests run it on the offscreen platform), with the
// program's title as the one start-up sets.
void EnsureApplication();

} // namespace brinmor::test
