# One target that carries the compiler settings every Kazami target shares.
add_library(kazami_compiler_options INTERFACE)
target_compile_features(kazami_compiler_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(kazami_compiler_options INTERFACE -Wall -Wextra -pedantic)
if(KAZAMI_WERROR)
    target_compile_options(kazami_compiler_options INTERFACE -Werror)
endif()
target_compile_definitions(kazami_compiler_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_USE_QSTRINGBUILDER
    QT_DISABLE_DEPRECATED_BEFORE=0x060400)
