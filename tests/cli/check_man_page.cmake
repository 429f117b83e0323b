# Checks that a man page is ready to read as it stands: no @VARIABLE@ left for a configure step
# to fill in, and its title line naming the project's version.
#   cmake -DPAGE=strandix.1 -DVERSION=1.2.3 -P check_man_page.cmake
file(READ "${PAGE}" page)
if(page MATCHES "@[A-Za-z_]+@")
    message(FATAL_ERROR "${PAGE} holds ${CMAKE_MATCH_0}, which only a configure step replaces.")
endif()
string(FIND "${page}" ".TH STRANDIX 1 \"\" \"strandix ${VERSION}\"" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE}'s .TH line does not name strandix ${VERSION}, the project's "
        "version.")
endif()
