#pragma once

// The one table of message texts. Every exception message of the library is formatted from
// a template here (see Format.h); the texts are part of the library's interface and are
// used exactly as written, including their spacing and punctuation.

namespace tapwise::messages {

// Persistent objects and conversions.
inline constexpr char kCannotAssign[] = "Cannot assign a %s to a %s";
inline constexpr char kInvalidFloat[] = "'%s' is not a valid floating point value";
inline constexpr char kInvalidInteger[] = "'%s' is not a valid integer value";
inline constexpr char kInvalidFormat[] = "Format '%s' invalid or incompatible with argument";

// Lists and collections.
inline constexpr char kListIndexOutOfBounds[] = "List index out of bounds (%d)";
inline constexpr char kInvalidPropertyValue[] = "Invalid property value";

// Streams.
inline constexpr char kStreamReadError[] = "Stream read error";
inline constexpr char kStreamWriteError[] = "Stream write error";
inline constexpr char kCannotOpenFile[] = "Cannot open file \"%s\"";

// Division guards.
inline constexpr char kDivisionByZero[] = "Division by zero in %s";

// ---- Components and string lists ----
inline constexpr char kDuplicateComponentName[] = "A component named %s already exists";
inline constexpr char kComponentOwnerCycle[] =
    "Component %s cannot be owned by itself or by one of its own components";
inline constexpr char kSortedListError[] = "Operation not allowed on sorted list";
inline constexpr char kDuplicateString[] = "String list does not allow duplicates";
inline constexpr char kInvalidValueName[] = "Invalid name \"%s\": a name cannot contain \"=\"";

// ---- Owned collections ----

// ---- Lists, queues and stacks ----
inline constexpr char kInvalidIndex[] = "Invalid Index";
inline constexpr char kListIsEmpty[] = "List is empty";
inline constexpr char kCannotFindNode[] = "Cannot find node within list";
inline constexpr char kListCapacityOutOfBounds[] = "List capacity out of bounds (%d)";
inline constexpr char kListCountOutOfBounds[] = "List count out of bounds (%d)";
// The interface lists, queues and stacks report an empty list in lower case.
inline constexpr char kInterfaceListIsEmpty[] = "list is empty";
inline constexpr char kMissingCloseParenthesis[] = "Missing close parenthesis";

// ---- String hash tables ----
inline constexpr char kArgumentIsNull[] = "Argument is null";
inline constexpr char kSubscriptOutOfRange[] = "Subscript out of range";
inline constexpr char kTableIsEmpty[] = "Table is empty";
inline constexpr char kNoSuchElement[] = "No such element";
inline constexpr char kNoSuchElementKey[] = "No such element: %s";
inline constexpr char kNonEmptyTable[] = "Cannot perform this operation with non-empty table";
inline constexpr char kTableChanged[] = "Table changed during enumeration";
inline constexpr char kPointerInInterfaceTable[] =
    "An interface table stores interfaces, not plain pointers";

// ---- Fuzzy sets: points and shapes ----
inline constexpr char kInvalidXRangeIndex[] = "Invalid index argument to GetXRange.  Index = %d";
inline constexpr char kInvalidRangeArguments[] =
    "Invalid range arguments.  Left (%.4f) is greater than right (%.4f)";
inline constexpr char kEmptySetOperation[] = "Invalid operation: \"%s\".  Fuzzy set is empty";
inline constexpr char kReservedSetName[] = "Invalid fuzzy set name, \"%s\" is a reserved word";
// Arguments: the operation, the argument's name ("SetX", "X"; "SetCurve", "Left").
inline constexpr char kNonFiniteArgument[] = "Invalid argument to %s: %s is not a finite number";
// Arguments: the operation, the set's name, the number of points asked for, the limit.
inline constexpr char kTooManyPoints[] =
    "Invalid argument to %s: fuzzy set \"%s\" would hold %d points, more than %d";
// Arguments: the generator ("SetBetaCurve"), then the X at which the denominator vanishes.
inline constexpr char kBetaCurveZeroInflection[] = "Division by zero in %s: InflectionPoint is 0";
inline constexpr char kBetaCurveZeroDenominator[] =
    "Division by zero in %s: 1 + Weight * ((X - Center) / InflectionPoint)^2 is 0 at X = %.4f";
inline constexpr char kCloneWithoutCollection[] =
    "Cannot clone fuzzy set \"%s\": it belongs to no term collection";

// ---- Membership shapes ----
inline constexpr char kUnknownShapeKind[] = "Unknown membership shape kind %d";
// Arguments: the kind ("Gaussian"), the count wanted, "parameter(s)", their names, the count given.
inline constexpr char kShapeParameterCount[] = "%s needs %d %s (%s), not %d";
inline constexpr char kShapeParameterPairs[] = "%s needs pairs of parameters (%s), not %d";
// Arguments: the kind, the parameter's name.
inline constexpr char kShapeNonFinite[] = "%s parameter %s is not a finite number";
inline constexpr char kShapeZeroParameter[] = "%s %s must not be 0";
inline constexpr char kShapePositiveParameter[] = "%s %s must be greater than 0";
// Arguments: the kind, the order its parameters must keep ("a <= b <= c").
inline constexpr char kShapeParameterOrder[] = "%s needs %s";
inline constexpr char kShapeSameEnds[] = "%s %s and %s must differ";
// Arguments: the kind, the later and the earlier X ("x3", "x2").
inline constexpr char kShapeDescendingX[] = "%s %s is less than %s";
inline constexpr char kShapeDegreeOutOfRange[] = "%s %s is outside 0..1";
// Arguments: the kind, the range's ends, the limit of points.
inline constexpr char kShapeTooFine[] =
    "%s over %s..%s needs more than %d points to stay within tolerance";

// ---- Fuzzy sets: operations, measures and hedges ----
// The missing closing quote is part of the established message text.
inline constexpr char kInvalidFuzzyOperation[] = "Invalid fuzzy operation: \"%s:";
// Arguments: the operation (an AND/OR name or an operator symbol), the set's name.
inline constexpr char kNonFiniteResult[] =
    "Invalid operation: \"%s\" on fuzzy set \"%s\" gives a value that is not a finite number";
// Arguments: the operator symbol ("/" or "/X"), the set's name.
inline constexpr char kOperatorDivisionByZero[] =
    "Division by zero in ApplyOperator: \"%s\" with Value 0 on fuzzy set \"%s\"";
inline constexpr char kInvalidHedgeIndex[] = "Invalid hedge index %d: hedges are 0 to 19";
inline constexpr char kInvalidOperatorIndex[] = "Invalid operator index %d: operators are 0 to 8";
inline constexpr char kThresholdWithoutVariable[] =
    "Cannot test fuzzy set \"%s\" against a threshold: it belongs to no variable";

// ---- Text streams, tokens and the tokenizer ----
inline constexpr char kInvalidBufferState[] = "Invalid buffer state";
inline constexpr char kInvalidOriginPoint[] = "Invalid Origin Point specified: %s";
inline constexpr char kErrorSeekingInBuffer[] = "Error seeking in buffer";
inline constexpr char kPushBackOverflow[] = "Overflow on push back";
inline constexpr char kNoSourceStream[] = "A text stream needs a source stream";
inline constexpr char kErrorAssigningList[] = "Error assigning list";
inline constexpr char kInterfaceNotSupported[] = "Interface not supported";
inline constexpr char kInvalidTokenHint[] = "Invalid Token hint for parsing token: %s";
inline constexpr char kStringNotTerminated[] = "Invalid string value, string was not terminated";

// ---- Fuzzy variables and the fuzzy-logic component ----
// Arguments: the number of inputs, the number of antecedents.
inline constexpr char kRuleArgumentCount[] =
    "Invalid rule: %d inputs but %d antecedents; each input needs its antecedent";
// Arguments: the operation, the argument ("RuleStrength", "Inputs[1]").
inline constexpr char kNilArgument[] = "Invalid argument to %s: %s is nil";
inline constexpr char kParserNotAssigned[] = "Parser not assigned.  Cannot parse";
// The automatic terms of a new variable, in the order they are added.
inline constexpr char kAutoTermLow[] = "low";
inline constexpr char kAutoTermMedium[] = "medium";
inline constexpr char kAutoTermHigh[] = "high";
// Arguments: the key under which the item was to be stored.
inline constexpr char kVariableTableItem[] =
    "Cannot store \"%s\" in a variable table: the item is not a fuzzy variable";
// Arguments: the name of the component, the name looked up.
inline constexpr char kNoSuchVariable[] = "Fuzzy logic component %s has no variable named \"%s\"";

// ---- Parser, expressions and writer ----
// Arguments: the message, the routine, the line, the text read so far.
inline constexpr char kParseErrorFormat[] = "Parsing Error, %s in %s at line %s: \"%s\"";
inline constexpr char kComponentRequiredToParse[] =
    "Fuzzy Logic component must be specified to parse";
// The routine named by the errors of the built-in function table.
inline constexpr char kCalcFuzzyFunctionRoutine[] = "CalcFuzzyFunction";
// Arguments: the function name, the expected type ("numeric").
inline constexpr char kFunctionArgumentTypes[] =
    "Data Types of arguments for function, %s, incorrect.  Expected %s";
inline constexpr char kNumericArgumentType[] = "numeric";
// Arguments: the function name, the forms it takes (one of the k...Forms texts below).
inline constexpr char kFunctionArgumentCount[] =
    "Number of arguments for function, %s, incorrect.  Expected \"%s\"";
inline constexpr char kPiCurveForms[] = "\"Left Right Center\" or \"Center Range\"";
inline constexpr char kTriangleForms[] = "\"Left Middle Right\"";
inline constexpr char kCurveForms[] = "\"Left Right Inflection_Point\"";
inline constexpr char kBetaCurveForms[] =
    "\"Range Center Inflection_Point\" or \"Range Center Inflection_Point Weight\"";
inline constexpr char kUnknownFunctionName[] = "Unknown function name: \"%s\"";
// Messages of the definition-language parser and its expressions.
inline constexpr char kUnexpectedToken[] = "Unexpected token: \"%s\"";
inline constexpr char kExpectedDeffuzzy[] = "Expected \"( deffuzzy\"";
inline constexpr char kExpectedTerm[] = "Expected \"( term\"";
inline constexpr char kMissingName[] = "Missing name";
inline constexpr char kExpectedOpenParenthesis[] = "Expected \"(\"";
inline constexpr char kExpectedCloseParenthesis[] = "Expected \")\"";
// Argument: the keywords that may start a clause (kVariableClauseKeywords).
inline constexpr char kMissingKeyword[] = "Missing keyword.  Expected \"%s\"";
inline constexpr char kVariableClauseKeywords[] = "range, units, or values";
inline constexpr char kExpectedNumber[] = "Expected number";
inline constexpr char kInterfacedLogicRequired[] =
    "FuzzyLogic property must be of type TIFuzzyLogic or descendant";
inline constexpr char kCollectionLogicRequired[] =
    "FuzzyLogic property must be of type TFuzzyLogic or descendant";
// Argument: the token's text form (the same words for hedges, operators and AND/OR words).
inline constexpr char kMissingHedgeOperand[] = "Missing fuzzy operand to be modified by hedge: %s";
inline constexpr char kInvalidExpressionItem[] = "Invalid item in fuzzy expression: %s";
inline constexpr char kFuzzyVariableNotDefined[] = "fuzzy variable is not defined";
inline constexpr char kInvalidValuePair[] = "Invalid X/Y value pair: %s";
// Argument: the deepest nesting allowed.
inline constexpr char kNestingTooDeep[] = "Parentheses nested deeper than %d levels";
// Argument: the global as written ("?x").
inline constexpr char kGlobalRefersToItself[] = "Global variable %s refers to itself";
// Argument: the deepest chain allowed.
inline constexpr char kGlobalsTooDeep[] =
    "Global variables refer to each other deeper than %d levels";
// Arguments: the global as written ("?x") at which the limit was passed, the limit.
inline constexpr char kGlobalsExpandTooOften[] =
    "Too many global variables expanded at %s (more than %d for one operand)";
// Argument: the operation called.
inline constexpr char kNoParseInProgress[] =
    "%s reads from the token stream of a parse in progress, and none is running";

// ---- Faucet simulation ----
// The log lines of one plant step. Argument: the outlet flow, then the outlet temperature.
inline constexpr char kOutputFlowLine[] = "Output Flow is %6.3f litres/sec";
inline constexpr char kOutputTempLine[] = "Output Temp is %6.3f degrees C";
inline constexpr char kOutputTempUnknown[] = "Output Temp is UNKNOWN";
// The log labels of the eight rules, each followed by the rule's strength.
inline constexpr char kRuleColdLow[] = "rule activated: cold_low: ";
inline constexpr char kRuleColdOK[] = "rule activated: cold_OK: ";
inline constexpr char kRuleColdStrong[] = "rule activated: cold_strong: ";
inline constexpr char kRuleOKLow[] = "rule activated: OK_low: ";
inline constexpr char kRuleOKStrong[] = "rule activated: OK_strong: ";
inline constexpr char kRuleHotLow[] = "rule activated: hot_low: ";
inline constexpr char kRuleHotOK[] = "rule activated: hot_OK: ";
inline constexpr char kRuleHotStrong[] = "rule activated: hot_strong: ";
// The first lines of the stop messages; the second line is always kStoppingSimulation.
inline constexpr char kColdValveFullyOpen[] =
    "*** Cold Water Problem -- Cold valve fully open and unable to open more ***";
inline constexpr char kHotValveFullyOpen[] =
    "*** Hot Water Problem -- Hot valve fully open and unable to open more ***";
inline constexpr char kTemperatureNotHighEnough[] =
    "*** Hot Temperature Problem -- Cannot get temperature high enough ***";
inline constexpr char kTemperatureNotLowEnough[] =
    "*** Hot Temperature Problem -- Cannot get temperature low enough ***";
// Argument: the factor's text.
inline constexpr char kIterationFactorNotPositive[] =
    "*** Iteration Factor Problem -- Iteration factor %s is not positive ***";
inline constexpr char kStoppingSimulation[] = "Stopping simulation";
// Argument: the variable's name with its asterisks.
inline constexpr char kSimulationVariableMissing[] = "Simulation variable %s is missing";
// Arguments: the variable's name, its text.
inline constexpr char kSimulationVariableNotNumber[] =
    "Simulation variable %s holds \"%s\", which is not a finite number";
// Arguments: the operation, the argument ("SimulateStep", "ColdChange").
inline constexpr char kValveChangeNotFinite[] = "Invalid argument to %s: %s is not a finite number";
// Argument: what came out not finite ("flow", "temperature").
inline constexpr char kPlantResultNotFinite[] =
    "The outlet %s of the plant step is not a finite number; the feed values are too large";

// ---- Headless faucet runner ----
// Argument: the option.
inline constexpr char kRunnerUnknownOption[] = "unknown option \"%s\" (try --help)";
inline constexpr char kRunnerMissingArgument[] = "option %s needs a value (try --help)";
// Argument: the text given to --set.
inline constexpr char kRunnerBadAssignment[] =
    "--set expects NAME=VALUE with the name in asterisks, not \"%s\"";
// Argument: the text given to --max-ticks.
inline constexpr char kRunnerOutputFailed[] = "cannot write to standard output";
inline constexpr char kRunnerBadTickCount[] =
    "--max-ticks expects a whole number of at least 0, not \"%s\"";
// Arguments: the name given to --set, the simulation's variables.
inline constexpr char kRunnerUnknownVariable[] =
    "--set names no simulation variable: \"%s\" (the variables are: %s)";

// ---- Command-line tools: tapwise (check, format, eval, plot, run, table) ----
// Arguments: the subcommand given.
inline constexpr char kToolUnknownCommand[] = "unknown command \"%s\" (try \"tapwise --help\")";
inline constexpr char kToolMissingCommand[] =
    "missing command: check, convert, format, eval, plot, run or table (try \"tapwise --help\")";
// Arguments: the subcommand, the option.
inline constexpr char kToolUnknownOption[] =
    "%s: unknown option \"%s\" (try \"tapwise %s --help\")";
// Arguments: the subcommand, the option.
inline constexpr char kToolOptionNeedsValue[] = "%s: option \"%s\" needs a value";
// Arguments: the subcommand, what is missing ("FILE", "VARIABLE and EXPRESSION").
inline constexpr char kToolMissingArgument[] = "%s: missing %s (try \"tapwise %s --help\")";
// Arguments: the subcommand, the first surplus argument.
inline constexpr char kToolTooManyArguments[] =
    "%s: unexpected argument \"%s\" (try \"tapwise %s --help\")";
// Arguments: the file, the reason.
inline constexpr char kToolCannotRead[] = "%s: cannot read the file: %s";
// The reasons a file cannot be read or written.
inline constexpr char kToolNoSuchFile[] = "no such file";
inline constexpr char kToolIsDirectory[] = "it is a directory";
inline constexpr char kToolCannotOpen[] = "it cannot be opened";
inline constexpr char kToolReadFailed[] = "reading it failed";
// Argument: the largest size read, in MiB.
inline constexpr char kToolFileTooLarge[] = "it is larger than %d MiB";
inline constexpr char kToolWriteFailed[] = "writing it failed";
// Arguments: the file, the reason.
inline constexpr char kToolCannotWrite[] = "%s: cannot write the file: %s";
// Arguments: the file, the message of the error.
inline constexpr char kToolFileError[] = "%s: %s";
// Arguments: the file, the line, the column, the message of the error.
inline constexpr char kToolFileErrorAt[] = "%s:%d:%d: %s";
// Arguments: the file, the variable asked for, the variables the file defines.
inline constexpr char kToolNoSuchVariable[] = "%s: no variable named \"%s\" (the file defines: %s)";
// Arguments: the file.
inline constexpr char kToolNoVariables[] = "%s: the file defines no variables";
// Arguments: the expression, the variable, the message of the error.
inline constexpr char kToolExpressionError[] = "expression \"%s\" over %s: %s";
inline constexpr char kToolOutOfMemory[] = "out of memory";
inline constexpr char kToolUnknownFailure[] = "unknown failure";
inline constexpr char kToolCannotWriteOutput[] = "cannot write to standard output";
// Arguments: the file.
inline constexpr char kToolUnknownFormat[] =
    "%s: unknown controller format (the extensions are .fzl, .fcl, .fis and .fll)";
inline constexpr char kToolNoController[] =
    "%s: the file defines no controller (no definput, defoutput or defrules form)";
// Argument: the word given.
inline constexpr char kToolBadAssignment[] = "run: expected NAME=VALUE, not \"%s\"";
// Arguments: the input, the text given as its value.
inline constexpr char kToolValueNotNumber[] = "run: the value of %s is not a number: \"%s\"";
// Arguments: the inputs without a value, all inputs.
inline constexpr char kToolInputsWithoutValue[] = "run: no value given for %s (the inputs are: %s)";
// Arguments: the data file ("-" for standard input).
inline constexpr char kToolNoDataHeader[] = "%s: no header line of column names";
// Arguments (each of these four): the data file, its line; then the inputs without a column.
inline constexpr char kToolMissingColumns[] = "%s:%d: the header has no column for %s";
// ... the column's name.
inline constexpr char kToolDuplicateColumn[] = "%s:%d: two columns are named %s";
// ... the fields found, the columns of the header.
inline constexpr char kToolWrongFieldCount[] = "%s:%d: %d fields where the header has %d";
// ... the field, its column.
inline constexpr char kToolFieldNotNumber[] = "%s:%d: \"%s\" in column %s is not a number";
// Arguments: the expression's error, the variable, its terms ("none" when it has none).
inline constexpr char kToolExpressionTerms[] = "%s (the terms of %s are: %s)";
// Arguments (each of the check's findings): the file, the line, "warning" or "error"; then
// ... the variable, the minimum, the maximum given.
inline constexpr char kLintReversedRange[] = "%s:%d: %s: the range of %s runs backwards (%s to %s)";
// ... the term, the variable, the shape.
inline constexpr char kLintShapeOutOfOrder[] =
    "%s:%d: %s: the parameters of term %s of %s are out of order in %s; the shape is repaired";
// ... the term, the variable, the range's minimum and maximum, the shape.
inline constexpr char kLintShapeOutsideRange[] =
    "%s:%d: %s: term %s of %s reaches outside the range %s to %s with %s; it is clamped";
// ... the term, the variable, the point's X, the range's minimum and maximum.
inline constexpr char kLintPointOutsideRange[] =
    "%s:%d: %s: term %s of %s has a point at %s, outside the range %s to %s; it is clamped";
// ... the variable, the line of its earlier definition.
inline constexpr char kLintDuplicateVariable[] =
    "%s:%d: %s: variable %s is defined again (first on line %d); the later definition wins";
// ... the term, the variable, the line of its earlier definition.
inline constexpr char kLintDuplicateTerm[] =
    "%s:%d: %s: term %s of %s is defined again (first on line %d); the later definition wins";

// ---- Controllers ----
// Arguments: the name, the list of what exists ("a, b, c" or "none").
inline constexpr char kUnknownControllerVariable[] =
    "Unknown variable %s in rule %s (the variables are: %s)";
inline constexpr char kUnknownControllerTerm[] =
    "Unknown term %s of %s in rule %s (the terms are: %s)";
inline constexpr char kUnknownHedge[] = "Unknown hedge %s in rule %s (the hedges are: %s)";
inline constexpr char kUnknownInput[] = "Unknown input %s (the inputs are: %s)";
inline constexpr char kUnknownOutput[] = "Unknown output %s (the outputs are: %s)";
inline constexpr char kUnknownRuleOutput[] = "Unknown output %s in rule %s (the outputs are: %s)";
inline constexpr char kTestOfOutput[] = "Rule %s tests %s, which is an output";
inline constexpr char kOutputIsInput[] = "Output %s is already an input";
inline constexpr char kInputIsOutput[] = "Input %s is already an output";
inline constexpr char kInputWithoutVariable[] =
    "Input %s names no variable (the variables are: %s)";
inline constexpr char kOutputWithoutVariable[] =
    "Output %s has no variable %s (the variables are: %s)";
inline constexpr char kRuleWithoutName[] = "A rule of rule block %s has no name";
inline constexpr char kRuleWithoutCondition[] = "Rule %s has no well-formed condition";
inline constexpr char kRuleWithoutConsequent[] = "Rule %s has no consequent";
inline constexpr char kDuplicateRule[] = "Rule %s appears twice in rule block %s";
inline constexpr char kDuplicateRuleBlock[] = "Rule block %s is defined twice";
inline constexpr char kDuplicateOutput[] = "Output %s is defined twice";
inline constexpr char kDuplicateSugenoTerm[] = "Term %s of output %s is defined twice";
inline constexpr char kOutputOfTwoBlocks[] = "Output %s is driven by rule block %s already";
inline constexpr char kSugenoHedge[] = "Rule %s puts a hedge on the Sugeno output %s";
inline constexpr char kUnsuitedDefuzzification[] =
    "Rule block %s defuzzifies by %s, which does not suit the %s output %s";
inline constexpr char kRuleWeightOutOfRange[] = "The weight %s of rule %s is outside 0..1";
inline constexpr char kTermAggregationWithoutSugeno[] =
    "Rule block %s combines Sugeno terms (termaggregation) but does not defuzzify by weighted "
    "average or sum";
inline constexpr char kUnwritableName[] =
    "%s %s does not read back as a word of the definition language";
inline constexpr char kThresholdOutOfRange[] = "The threshold %s of rule block %s is outside 0..1";
inline constexpr char kNoAndForFamily[] = "Rule block %s: the operation family %s has no AND";
inline constexpr char kSpreadOutOfRange[] = "The spread %s of input %s is not a finite number >= 0";
inline constexpr char kNonFiniteNumber[] = "%s of %s is not a finite number";
inline constexpr char kInputNotNumber[] = "The value of input %s is not a number";
inline constexpr char kInputWithoutValue[] = "Input %s has no value";
inline constexpr char kNonFiniteOutput[] = "Output %s is not a finite number";
inline constexpr char kNoRuleFired[] = "No rule fired for output %s, and it has no default";
inline constexpr char kNotProcessed[] = "The controller has not processed its inputs yet";
// The parser's errors in the controller forms: the argument is the word or text found.
inline constexpr char kExpectedControllerKeyword[] = "Expected %s";
inline constexpr char kUnknownSetting[] = "Unknown setting %s";
inline constexpr char kUnknownSettingValue[] = "Unknown %s %s (expected one of: %s)";
inline constexpr char kExpectedTermTest[] = "Expected a test (variable [hedges] term), found %s";

}  // namespace tapwise::messages
