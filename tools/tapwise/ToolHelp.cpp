#include "ToolHelp.h"

namespace tapwise::tool {

namespace {

constexpr std::string_view kToolHelp =
    R"HELP(Usage: tapwise COMMAND [OPTIONS] ARGUMENTS

Check, tidy, try and draw fuzzy definition files ("(deffuzzy ...)" forms).

Commands:
  check FILE...                       parse each file, list its variables and terms
  format FILE                         print the file in the writer's layout
  eval FILE VARIABLE EXPRESSION       evaluate a fuzzy expression over a variable's terms
  plot FILE [--var NAME]... -o OUT    draw the membership functions as SVG

Options of every command:
  --auto-terms   add the terms low, medium and high where a variable lacks them, as a
                 fuzzy-logic component does
  -h, --help     show the help of the tool or of a command

  tapwise --version prints the version.

Exit status: 0 on success, 1 on any error (reported as one line on standard error).
Nothing is printed or written unless the whole command succeeds.
)HELP";

constexpr std::string_view kCheckHelp =
    R"HELP(Usage: tapwise check [--auto-terms] FILE...

Parses each FILE and lists, in the order of the file, every variable with its range,
units and term count, and every term with its shape as the writer writes it:

  demo.fzl: 3 variables
    outTemp: range 5 to 65, units Celcius, 3 terms
      cold (z 10.0000 35.0000)

A file that does not parse is reported with the parse error (its line and the text read
so far) on standard error, and the command exits with status 1.
)HELP";

constexpr std::string_view kFormatHelp =
    R"HELP(Usage: tapwise format [--auto-terms] FILE

Prints every variable of FILE, in the order of the file, as the writer writes it
(numbers with four decimals, one term per line, CR LF line breaks). The output parses
back to the same variables, and formatting it again changes nothing. Comments (";")
and the original spacing are not kept.
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

Draws the membership functions of the chosen variables (every variable of FILE when no
--var is given) as an SVG picture: one panel per variable, every term a labelled line
over the universe, axes with ticks and the units. "-o -" writes the picture to
standard output.

Options:
  --var NAME           plot the variable NAME (repeat for several, in the order given)
  -o, --output FILE    the SVG file to write (required)
)HELP";

}  // namespace

std::string_view ToolHelp() {
  return kToolHelp;
}

std::string_view CommandHelp(std::string_view command) {
  if (command == "check") return kCheckHelp;
  if (command == "format") return kFormatHelp;
  if (command == "eval") return kEvalHelp;
  if (command == "plot") return kPlotHelp;
  return {};
}

}  // namespace tapwise::tool
