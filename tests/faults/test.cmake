# The fault-injection program reaches the component's system calls through
# the linker: the plan in plan_fautes.cpp stands in front of each of them.
target_link_options(${t} PRIVATE
  -Wl,--wrap=write,--wrap=pwrite64,--wrap=copy_file_range,--wrap=fsync,--wrap=rename,--wrap=renameat2)
