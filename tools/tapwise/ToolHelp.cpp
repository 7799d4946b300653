#include "ToolHelp.h"

namespace tapwise::tool {

namespace {

constexpr std::string_view kToolHelp =
    R"HELP(Usage: tapwise COMMAND [OPTIONS] ARGUMENTS

Check, tidy, try and draw fuzzy definition files ("(deffuzzy ...)" forms), and run the
controllers they define ("(definput", "(defoutput" and "(defrules" forms).

Every command reads controllers of the exchange formats too, chosen by the file's
extension: ".fcl" (IEC 61131-7 FCL), ".fis" (MATLAB and Octave), ".fll" (fuzzylite).
Any other file is definition text.

Commands:
  check [--strict] FILE...            parse each file, list its variables and terms, and
                                      its controller's inputs, outputs and rule blocks
  convert IN OUT                      write the controller of IN in the format of OUT
                                      (.fzl, .fcl or .fis)
  format FILE                         print the file in the writer's layout
  eval FILE VARIABLE EXPRESSION       evaluate a fuzzy expression over a variable's terms
  plot FILE [--var NAME]... -o OUT    draw the membership functions as SVG
  plot FILE --run NAME=VALUE... -o OUT
                                      draw one run of the controller as SVG
  run FILE [--explain] NAME=VALUE...  run the controller once on the given input values
  table FILE DATA                     run the controller on every row of a table of inputs

Options of every command:
  --auto-terms   add the terms low, medium and high where a variable lacks them, as a
                 fuzzy-logic component does
  -h, --help     show the help of the tool or of a command

  tapwise --version prints the version.

Exit status: 0 on success, 1 on any error. An error is reported on standard error in one
line; an error in a file as "FILE:LINE:COLUMN: message", then the source line and a caret
under the place.
Nothing is printed or written unless the whole command succeeds.
)HELP";

constexpr std::string_view kCheckHelp =
    R"HELP(Usage: tapwise check [--auto-terms] [--strict] FILE...

Parses each FILE and lists, in the order of the file, every variable with its range,
units and term count, and every term with its shape as the writer writes it:

  demo.fzl: 3 variables
    outTemp: range 5 to 65, units Celcius, 3 terms
      cold (z 10.0000 35.0000)

A smooth membership function read from an exchange format is listed by its kind and
parameters, with the number of points that draw it within 1e-4:

      poor Gaussian 1.5 0 (23 points)

A file with a controller goes on with its inputs (and their spread), its outputs (and
their variable and default) and every rule block with its rule count and settings:

    inputs: quality, service
    outputs: tip
    rule block tipping: 3 rules
      and zadeh, or zadeh, implication clip, aggregation maximum, defuzzification ...

A file that does not parse is reported with the parse error (its line and the text read
so far) on standard error, under the file, line and column, with the source line and a
caret under the place; the command exits with status 1.

What the library repairs without a word is reported on standard error as
"FILE:LINE: warning: ...": a range that runs backwards, shape parameters out of order or
outside the range, points outside the range (they are clamped), and a variable or a term
defined twice (the later definition wins). Warnings leave the exit status 0; with --strict
they are errors and the command exits with status 1.
)HELP";

constexpr std::string_view kConvertHelp =
    R"HELP(Usage: tapwise convert IN OUT

Reads the controller of IN and writes it to OUT in the format OUT's extension names:
".fzl" definition text, ".fcl" IEC 61131-7 FCL, ".fis" MATLAB and Octave. IN may also be
fuzzylite's ".fll", which is read only. OUT is replaced only when the whole conversion
succeeds.

A feature the target format cannot hold is an error naming it, never an approximation:
FIS, for one, has no point lists beyond triangles and trapezoids, no hedges and no cap
implication. Smooth membership functions read from FIS or FLL (Gaussian, bell, sigmoid
and the like) are written back by their parameters to FIS; to FCL and to definition text
they go as the point lists that draw them within 1e-4.

Example:
  tapwise convert examples/tipping.fzl tipping.fcl
)HELP";

constexpr std::string_view kFormatHelp =
    R"HELP(Usage: tapwise format [--auto-terms] FILE

Prints every variable of FILE, in the order of the file, as the writer writes it
(numbers with four decimals, one term per line, CR LF line breaks). The output parses
back to the same variables, and formatting it again changes nothing. Comments (";")
and the original spacing are not kept.

A file with a controller is printed as the controller writes itself: the variables,
then the inputs, outputs and rule blocks with every setting spelled out (LF line breaks
after each form). It reads back to the same controller. --auto-terms does not apply to it.
)HELP";

constexpr std::string_view kRunHelp =
    R"HELP(Usage: tapwise run [--explain] FILE NAME=VALUE...

Sets every input of the controller of FILE to its VALUE (a number, "." as the decimal
point), runs the rules once and prints each output, in the order of the controller:

  tip = 19.8578

An output for which no rule fired and that has no default has no value and prints as

  tip: no rule fired

which is no error. Every input needs a value; a later NAME=VALUE replaces an earlier one.

Options:
  --explain    also list every rule with its strength (the degree of its condition
               times its weight), "*" before the rules that fired:

                 rules (* fired):
                     0.0000 tipping stingy
                   * 0.9600 tipping generous

Example:
  tapwise run examples/tipping.fzl quality=6.5 service=9.8
)HELP";

constexpr std::string_view kTableHelp =
    R"HELP(Usage: tapwise table FILE DATA

Runs the controller of FILE once for every row of DATA, a text table whose columns are
separated by blanks or tabs. Its first line that is not empty names the columns; the
columns named after the controller's inputs are read, any other column is ignored (and
may hold any text). Every input needs a column. Empty lines are skipped. DATA "-" reads
standard input.

Prints a header line of the inputs and then the outputs, and one line per row with the
input values and the outputs, every number with six decimals and "nan" for an output
without a value (no rule fired, no default). Columns are separated by one tab.

  quality  service  day          ->   quality    service    tip
  6.5      9.8      monday            6.500000   9.800000   19.857759

A row with another number of fields than the header, or a field of an input that is no
number, is an error naming its line of DATA.
)HELP";

constexpr std::string_view kEvalHelp =
    R"HELP(Usage: tapwise eval [--auto-terms] FILE VARIABLE EXPRESSION

Evaluates EXPRESSION over the terms of VARIABLE, as a term body of the file would be,
and prints the resulting set: its name and expression text, one "(X Y)" line per point,
then its centre of gravity ("cog:") and mean of maxima ("mom:").

Examples:
  tapwise eval demo.fzl outTemp "very cold"
  tapwise eval demo.fzl change_vc "NB or Z"
  tapwise eval demo.fzl outTemp "not [cold or hot]"
Put "--" before an expression that starts with "-".
)HELP";

constexpr std::string_view kPlotHelp =
    R"HELP(Usage: tapwise plot [--auto-terms] FILE [--var NAME]... -o OUT.svg
       tapwise plot [--auto-terms] FILE --run NAME=VALUE... -o OUT.svg

Draws the membership functions of the chosen variables (every variable of FILE when no
--var is given) as an SVG picture: one panel per variable, every term a labelled line
over the universe, axes with ticks and the units. "-o -" writes the picture to
standard output.

With --run, the picture shows one run of the controller on the given input values instead:
each input's terms with its value marked, then each output's fired rules' consequents as
the rules' strengths shape them, their aggregate filled and the output's value marked and
written on it.

Options:
  --run                run the controller on the NAME=VALUE inputs and draw the run
  --var NAME           plot the variable NAME (repeat for several, in the order given)
  -o, --output FILE    the SVG file to write (required)
)HELP";

}  // namespace

std::string_view ToolHelp() {
  return kToolHelp;
}

std::string_view CommandHelp(std::string_view command) {
  if (command == "check") return kCheckHelp;
  if (command == "convert") return kConvertHelp;
  if (command == "format") return kFormatHelp;
  if (command == "eval") return kEvalHelp;
  if (command == "plot") return kPlotHelp;
  if (command == "run") return kRunHelp;
  if (command == "table") return kTableHelp;
  return {};
}

}  // namespace tapwise::tool
