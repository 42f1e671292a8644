// Every QtGui header starts here: a layer built on QtCore alone sees this one instead.
#error "This layer depends on QtCore only: it may not include QtGui."
