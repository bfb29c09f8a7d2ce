#pragma once

namespace brinmor::test {

// Makes sure a QApplication exists (the tests run it on the offscreen platform), with the
// program's title and the designed font as start-up sets them.
void EnsureApplication();

} // namespace brinmor::test
