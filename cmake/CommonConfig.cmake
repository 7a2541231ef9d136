# One place for the language level, warnings and sanitizer flags; every target links qv_common.
add_library(qv_common INTERFACE)
target_compile_features(qv_common INTERFACE cxx_std_20)
target_compile_options(qv_common INTERFACE -Wall -Wextra)
target_include_directories(qv_common INTERFACE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
find_package(Threads REQUIRED)
target_link_libraries(qv_common INTERFACE Threads::Threads)

# No -march: the program must start on any x86-64 processor. The fast kernels carry their own
# target attributes and are picked at run time by CPU features.

if(QV_SANITIZE)
  target_compile_options(qv_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(qv_common INTERFACE -fsanitize=address,undefined)
endif()

# Qt-side targets add this on top: no implicit QString conversions from char*.
add_library(qv_qt_strict INTERFACE)
target_compile_definitions(qv_qt_strict INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_KEYWORDS)

# The one rule for a subsystem's Qt-free logic: every .cpp of its folder forms qv_<folder>,
# which links qv_common and the libraries named (never Qt).
function(qv_core_library folder)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  add_library(qv_${folder} STATIC ${sources})
  target_link_libraries(qv_${folder} PUBLIC qv_common ${ARGN})
endfunction()
