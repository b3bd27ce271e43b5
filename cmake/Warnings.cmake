add_library(norl_warnings INTERFACE)
target_compile_options(norl_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
