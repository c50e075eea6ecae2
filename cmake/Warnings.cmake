# Warnings for our own code; third-party code keeps its own flags.
function(brm_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wcast-qual -Wformat=2 -Wundef
    -Wnon-virtual-dtor -Wold-style-cast -Wnull-dereference -Werror)
endfunction()
