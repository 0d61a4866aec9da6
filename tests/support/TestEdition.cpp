// Tests link the program library with the standard edition's values.
#include "../../editions/Zelkora.cpp"
