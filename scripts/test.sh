#!/usr/bin/env bash
# Sets everything up and runs every check CI runs, stopping at the first that
# fails:
#   1. the build with warnings as errors, and every test;
#   2. formatting (clang-format) and the shell scripts (shellcheck);
#   3. one definition of every type: the libraries compiled for
#      link-time optimisation and linked whole into one program, whose link
#      fails on two different types of one name (-Wodr as an error, see
#      cmake/ZevOdrCheck.cmake);
#   4. clang-tidy on the application code (scripts/check-tidy.sh);
#   5. a second build with AddressSanitizer and UndefinedBehaviorSanitizer,
#      and every test again under them;
#   6. a third build with ThreadSanitizer of the tests that run jobs,
#      drivers, tools and cancellation on other threads (ctest label
#      "threads"), and those tests under it (what it cannot check inside Qt:
#      tests/sanitizers/tsan.supp);
#   7. the Debian package, built and checked without installing it.
#
#   scripts/test.sh            all of it (CI)
#   scripts/test.sh --quick    step 1 only
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)
started=$SECONDS

step() {
  printf '\n== %s (%d s in)\n' "$*" $((SECONDS - started))
}

# The sanitizers' builds with line tables only, which keep their reports
# exact: AddressSanitizer's unoptimised (it compiles in 40 % less time and its
# tests take longer by less than that), ThreadSanitizer's at -O1, which its
# slower runs need.
address_flags=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O0 -g1 -DNDEBUG")
thread_flags=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG")

run_tests() {
  ctest --test-dir "$1" --output-on-failure -j"$jobs" --timeout 300
}

step "build with warnings as errors, and the tests"
"$here/scripts/setup.sh" "$here/build" -DZEV_WARNINGS_AS_ERRORS=ON
run_tests "$here/build"
if [ "${1:-}" = --quick ]; then
  exit 0
fi

step "formatting and shell scripts"
"$here/scripts/check-style.sh"

step "one definition of every type (-Wodr)"
odr="$here/build-odr"
cmake -S "$here" -B "$odr" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEV_ODR_CHECK=ON \
  -DZEV_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$odr" -j"$jobs" --target zev_odr_check

step "clang-tidy"
"$here/scripts/check-tidy.sh" "$here/build"

step "AddressSanitizer and UndefinedBehaviorSanitizer"
sanitized="$here/build-sanitize"
cmake -S "$here" -B "$sanitized" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${address_flags[@]}" -DZEV_SANITIZE=ON \
  -DZEV_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$sanitized" -j"$jobs"
suppressions="$here/tests/sanitizers"
# No strict_string_checks: Qt's X11 keyboard library strndup()s bounded
# buffers that carry no terminator, which is valid and which those checks
# would report.
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$suppressions/ubsan.supp" \
LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0" \
  run_tests "$sanitized"

step "ThreadSanitizer"
threaded="$here/build-tsan"
cmake -S "$here" -B "$threaded" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${thread_flags[@]}" -DZEV_TSAN=ON \
  -DZEV_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$threaded" -j"$jobs" --target zev_thread_tests
# die_after_fork=0: QProcess forks each tool from a program that runs
# threads, and ThreadSanitizer's runtime would otherwise end some of those
# children ("starting new threads after multi-threaded fork") before they
# exec the tool.
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$suppressions/tsan.supp" \
  ctest --test-dir "$threaded" --output-on-failure -j"$jobs" --timeout 300 -L threads

step "Debian package"
deb=$("$here/scripts/package.sh" | tail -n 1)
"$here/scripts/check-package.sh" "$deb"

step "all checks passed"
