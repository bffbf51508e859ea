#pragma once

// Rounds to the given number of decimals, ties going to the even neighbour, the way the amounts
// and the payroll sums have always been rounded: divide by the step, round, multiply by the step.
double roundHalfEven(double value, int decimals);
