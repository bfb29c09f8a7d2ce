# Sourced by scripts/release and tests/app/ReleaseCheck.sh: the one reading of a Windows
# program's or library's import table.

# pe_imports <file>: the DLL names the file imports, one a line, spelt as the file spells them.
pe_imports() {
    local headers
    headers=$(x86_64-w64-mingw32-objdump -p "$1") ||
        { echo "cannot read $1 as a Windows file" >&2; return 1; }
    sed -n 's/^\s*DLL Name: \(.*\)$/\1/p' <<<"$headers"
}
