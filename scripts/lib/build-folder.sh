# Sourced by scripts/build. CMake keeps a build folder's first toolchain and its cached options,
# so a folder configured otherwise (another toolchain, a part switched off) is started anew.

# reset_build_folder <folder> <configure words...>: empties the folder unless it was last
# configured with the same words, and records them for the next call. A folder that holds
# something other than a build these scripts made is refused and left as it is.
reset_build_folder() {
    local folder=$1
    shift
    local stamp=$folder/.brinmor-configured-with wanted
    wanted=$(printf '%s\n' "$@")
    if [ -e "$folder" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
        if [ ! -e "$stamp" ] && [ ! -e "$folder/CMakeCache.txt" ] &&
            [ -n "$(ls -A "$folder")" ]; then
            echo "$folder is not a build folder (no CMakeCache.txt): refusing to build there;" \
                "name a new folder or an earlier build's" >&2
            return 1
        fi
        echo "Starting $folder anew: it was configured with other options" >&2
        rm -rf "$folder"
    fi
    mkdir -p "$folder"
    printf '%s\n' "$wanted" >"$stamp"
}
