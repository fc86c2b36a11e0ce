# The build-time generators: host programs that draw bitmap 109, synthesise the sound effects
# and write the Windows resource script. Included by resources/ and by the host-only project.
set(volarin_resources_dir ${CMAKE_CURRENT_LIST_DIR})

add_executable(volarin-sprite-gen ${volarin_resources_dir}/sprite_bitmap_gen.cpp)
target_include_directories(volarin-sprite-gen PRIVATE ${volarin_resources_dir}/..)

add_executable(volarin-sound-gen ${volarin_resources_dir}/sound_gen.cpp)
target_include_directories(volarin-sound-gen PRIVATE ${volarin_resources_dir}/..)

add_executable(volarin-menu-rc-gen ${volarin_resources_dir}/menu_rc_gen.cpp
  ${volarin_resources_dir}/menu_resource.cpp)
target_include_directories(volarin-menu-rc-gen PRIVATE ${volarin_resources_dir}/..)
