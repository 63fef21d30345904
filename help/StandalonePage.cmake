# Makes a page of the help file into a page of its own, for the browser: the style sheet is put
# into the page, and the parts marked as belonging to the help file only (links to its other
# pages) are left out.
# Run as: cmake -DPAGE=page.html -DSTYLE=help.css -DOUTPUT=out.html -P StandalonePage.cmake

file(READ ${PAGE} text)
file(READ ${STYLE} style)
# In the browser the page stands alone, so its title names the product.
string(REPLACE "<title>" "<title>Vantor Shredder Help: " text "${text}")
string(REPLACE "<link rel=\"stylesheet\" href=\"help.css\">" "<style>\n${style}</style>" text "${text}")
string(REGEX REPLACE "<!-- help file only -->.*<!-- end of help file only -->\n" "" text "${text}")
if(text MATCHES "href=\"[^\"#]" OR text MATCHES "help\\.css")
    message(FATAL_ERROR "${PAGE} links to another page outside the parts for the help file only")
endif()
file(WRITE ${OUTPUT} "${text}")
