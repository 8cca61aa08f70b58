# Remediation: writes the desired file's settings onto every microphone that differs and
# verifies them (vantor-mic restore). Exits with vantor-mic's status: 0 when every microphone
# holds them now, otherwise the error's status. The last line of output is a summary.
param([string]$Desired = "$env:ProgramData\Vantor\desired.json")
$tool = Join-Path $PSScriptRoot 'vantor-mic.exe'
if (-not (Test-Path $tool)) { $tool = "$env:ProgramFiles\Vantor\Microphone Settings\vantor-mic.exe" }
if (-not (Test-Path $tool)) { "error: vantor-mic.exe is not installed ($tool)"; exit 1 }
$lines = & $tool restore --all $Desired 2>&1 | ForEach-Object { "$_" -replace '^vantor-mic: ', '' }
$status = $LASTEXITCODE
$summary = ($lines | Where-Object { $_.Trim() }) -join '; '
if ($status -eq 0) { "done: $summary"; exit 0 }
"error (vantor-mic exit status $status): $summary"
exit $status
