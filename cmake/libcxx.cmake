# clang 14 with LLVM's C++ library, libc++ (packages libc++-14-dev and libc++abi-14-dev), in
# place of GCC's libstdc++. C++ only: the C compiler has no C++ library to choose.
include(${CMAKE_CURRENT_LIST_DIR}/clang-14.cmake)
set(CMAKE_CXX_FLAGS_INIT -stdlib=libc++)
