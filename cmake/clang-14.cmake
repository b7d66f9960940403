# Debian 12's clang 14 (packages clang-14, and libclang-rt-14-dev for the sanitizers), named by
# version so that the build uses the compiler CI installs whatever clang is the default.
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
