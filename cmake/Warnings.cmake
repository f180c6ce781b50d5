# Warnings on for our own targets; third-party headers come in as system headers.
# Vulkan structs are written `VkXInfo info{VK_STRUCTURE_TYPE_X_INFO};`, which zero-fills the other
# members by design, so the missing-initializer warning says nothing useful there.
# Shadowing is checked between locals only (GCC's form of it): a constructor parameter named after
# the member it sets is the usual way here, while a local hiding another local is a slip.
function(zorbulon_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers -Wnon-virtual-dtor
                                            -Wold-style-cast -Woverloaded-virtual $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
endfunction()
