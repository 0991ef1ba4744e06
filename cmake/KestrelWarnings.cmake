# Warnings on for our own targets only (third-party headers are system includes).
function(kestrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
