# SPDX-License-Identifier: MIT
# One interface target carries the language standard, warnings and Qt
# strictness for every target of the project.
add_library(veltrum_options INTERFACE)
target_compile_features(veltrum_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(veltrum_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor>)
target_compile_definitions(veltrum_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS)

set(VELTRUM_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")
if(VELTRUM_SANITIZE)
  target_compile_options(veltrum_options INTERFACE
    -fsanitize=${VELTRUM_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(veltrum_options INTERFACE -fsanitize=${VELTRUM_SANITIZE})
endif()

# Rebuilds of an unchanged source (another work tree, a fresh clone on the
# same machine) come from ccache when it is installed.
find_program(VELTRUM_CCACHE ccache)
if(VELTRUM_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${VELTRUM_CCACHE})
endif()

# Optimised builds are hardened as Debian builds its packages
# (dpkg-buildflags): fortified C library calls, stack protection, and a
# read-only relocation table bound at start. Sanitizer builds go without:
# the fortified calls hide faults from AddressSanitizer.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT VELTRUM_SANITIZE)
  set(veltrum_optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
  target_compile_options(veltrum_options INTERFACE
    $<${veltrum_optimised}:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong
      -fstack-clash-protection -fcf-protection -Wformat -Werror=format-security>)
  target_link_options(veltrum_options INTERFACE
    $<${veltrum_optimised}:LINKER:-z,relro LINKER:-z,now>)
endif()
