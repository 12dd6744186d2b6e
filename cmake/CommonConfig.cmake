# One place for the options every target of the project is built with.
add_library(tevauto_options INTERFACE)
target_compile_features(tevauto_options INTERFACE cxx_std_20)
target_compile_options(tevauto_options INTERFACE -Wall -Wextra -Wpedantic -Wold-style-cast)
if(TEV_WERROR)
  target_compile_options(tevauto_options INTERFACE -Werror)
endif()
target_compile_definitions(tevauto_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT)
if(TEV_SANITIZE)
  target_compile_options(tevauto_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(tevauto_options INTERFACE -fsanitize=address,undefined)
endif()
if(TEV_FUZZ)
  target_compile_options(tevauto_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(tevauto_options INTERFACE -fsanitize=address,undefined)
endif()
