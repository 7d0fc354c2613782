# Build settings shared by every target of the project: link qvt_common.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

add_library(qvt_common INTERFACE)
target_compile_options(qvt_common INTERFACE -Wall -Wextra -Wno-unused-parameter)
target_compile_definitions(qvt_common INTERFACE
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH)

# A faster linker when the compiler finds one: a build links some fifty programs, each with
# Qt, and the GNU linker spends most of a rebuild on them.
option(QVT_FAST_LINKER "Link with lld, else gold, when available" ON)
if(QVT_FAST_LINKER)
  include(CheckLinkerFlag)
  foreach(linker lld gold)
    check_linker_flag(CXX -fuse-ld=${linker} QVT_HAVE_LINKER_${linker})
    if(QVT_HAVE_LINKER_${linker})
      add_link_options(-fuse-ld=${linker})
      break()
    endif()
  endforeach()
endif()

# The second test configuration: AddressSanitizer and UBSan over the whole tree.
option(QVT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QVT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
