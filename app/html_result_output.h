// The program's result writer: the HTML page in the temporary folder.
#pragma once

#include "app/search_run.h"

// Makes a CHtmlResultWriter per search, reporting to the receiver it is given and showing the
// letters of the alphabet it is given.
ResultWriterFactory HtmlResultWriterFactory();
