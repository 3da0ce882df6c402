#!/usr/bin/env bash
# Compiles every core source with a Windows-only branch (#ifdef _WIN32) with the
# MinGW cross compiler, syntax only, so that code this machine never runs still
# builds for Windows. Headers with such a branch are checked through a one-line
# source that includes them. Exits non-zero when any file fails.
set -euo pipefail
cd "$(dirname "$0")/.."

# The posix-thread variant provides std::mutex and friends; the win32 one lacks them
# in older releases.
compiler=""
for candidate in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++; do
    if command -v "$candidate" >/dev/null 2>&1; then
        compiler="$candidate"
        break
    fi
done
if [[ -z "$compiler" ]]; then
    echo "x86_64-w64-mingw32-g++ not found (Debian package g++-mingw-w64-x86-64)" >&2
    exit 1
fi

flags=(-std=c++20 -fsyntax-only -Wall -Wextra -Isrc -DPOINTERHOLDER_TRANSITION=4)

# qpdf's headers are plain C++; make them reachable without the host's other headers.
shim="$(mktemp -d)"
trap 'rm -rf "$shim"' EXIT
for dir in /usr/include/qpdf /usr/local/include/qpdf; do
    if [[ -d "$dir" ]]; then
        ln -s "$dir" "$shim/qpdf"
        flags+=(-isystem "$shim")
        break
    fi
done

# The Qt view is built on Windows with its own toolchain; only the core is checked.
mapfile -t files < <(grep -rlE '^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif).*_WIN32' src \
                         --include='*.cpp' --include='*.h' | grep -v '^src/gui/' | sort)
if [[ ${#files[@]} -eq 0 ]]; then
    echo "no Windows-only sources found" >&2
    exit 1
fi

failed=0
for file in "${files[@]}"; do
    status=0
    case "$file" in
        *.cpp) "$compiler" "${flags[@]}" "$file" || status=$? ;;
        *.h) echo "#include \"${file#src/}\"" | "$compiler" "${flags[@]}" -x c++ - || status=$? ;;
    esac
    if [[ $status -eq 0 ]]; then
        echo "ok: $file"
    else
        echo "FAILED: $file" >&2
        failed=1
    fi
done
exit "$failed"
