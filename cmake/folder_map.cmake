# The folders and which folders each one's sources may include: the folders
# depend one way only, and the simulator stands alone. The build refuses a
# library that links a folder outside its list (src/CMakeLists.txt), and the
# include check an #include that crosses one (tests/layout).
set(dornvel_folders protocol tags readings platform ui app sim)
set(dornvel_may_include_protocol protocol)
set(dornvel_may_include_tags tags protocol readings)
set(dornvel_may_include_readings readings)
set(dornvel_may_include_platform platform protocol)
set(dornvel_may_include_ui ui tags protocol readings)
set(dornvel_may_include_app app ui platform tags protocol readings)
set(dornvel_may_include_sim sim)
