# The set-up script's apt sources, derived from copies of source trees (never the machine's own).
add_test(NAME SetupScript.backports_source_follows_the_machines_mirror
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/setup/apt_sources_test.sh)
