# Warnings on for our own targets; third-party headers come in as system headers.
# Vulkan structs are written `VkXInfo info{VK_STRUCTURE_TYPE_X_INFO};`, which zero-fills the other
# members by design, so the missing-initializer warning says nothing useful there.
function(zorbulon_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
endfunction()
