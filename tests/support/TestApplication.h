#pragma once

namespace brinmor::test {

// Makes the program's own application object (title, icon, error box on escaping events) once
// per test binary.
void EnsureProgramApplication();

} // namespace brinmor::test
