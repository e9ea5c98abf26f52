# Cross build with Debian's cross toolchain and its multi-architecture Qt packages:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/debian-cross.cmake -DNG_CROSS_TRIPLET=aarch64-linux-gnu ...
# The target's libraries and Qt's CMake packages are in /usr/lib/<triplet>; Qt's build tools
# (moc, rcc, qdbusxml2cpp) are the host's. Target programs run through qemu-user, so CTest
# runs the test programs emulated.
if(NOT NG_CROSS_TRIPLET)
  set(NG_CROSS_TRIPLET "$ENV{NG_CROSS_TRIPLET}")
endif()
if(NOT NG_CROSS_TRIPLET)
  message(FATAL_ERROR "Set NG_CROSS_TRIPLET (aarch64-linux-gnu, arm-linux-gnueabihf)")
endif()
# Passed on to the try_compile projects of CMake's checks.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NG_CROSS_TRIPLET)

if(NG_CROSS_TRIPLET STREQUAL "aarch64-linux-gnu")
  set(CMAKE_SYSTEM_PROCESSOR aarch64)
  set(NG_QEMU qemu-aarch64-static)
elseif(NG_CROSS_TRIPLET STREQUAL "arm-linux-gnueabihf")
  set(CMAKE_SYSTEM_PROCESSOR armv7l)
  set(NG_QEMU qemu-arm-static)
else()
  message(FATAL_ERROR "Unknown cross triplet ${NG_CROSS_TRIPLET}")
endif()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${NG_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${NG_CROSS_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${NG_CROSS_TRIPLET})
set(CMAKE_CROSSCOMPILING_EMULATOR ${NG_QEMU})

# Libraries and packages of the target architecture only; programs are the host's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_FIND_ROOT_PATH /)
set(CMAKE_PREFIX_PATH /usr/lib/${NG_CROSS_TRIPLET}/cmake)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${NG_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig)

# Qt's host tools come from the native packages.
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH OUTPUT_VARIABLE NG_BUILD_MULTIARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${NG_BUILD_MULTIARCH}/cmake)
