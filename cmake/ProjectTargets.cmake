# Shared compile settings for every target of the project (not for GoogleTest).

set(VANTOR_WARNINGS -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor -Wpedantic)

if(VANTOR_SANITIZE AND VANTOR_TSAN)
  message(FATAL_ERROR "VANTOR_SANITIZE and VANTOR_TSAN cannot be combined")
endif()
if(VANTOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VANTOR_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(WIN32)
  # One self-contained executable: no DLL beyond those of Windows.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
endif()

# project_target(<target>): warnings as errors and the repository root on the include path.
function(project_target target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
  else()
    target_compile_options(${target} PRIVATE ${VANTOR_WARNINGS})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  endif()
endfunction()
