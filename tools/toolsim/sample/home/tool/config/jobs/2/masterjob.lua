-- Master job of the manual operation: the operator picks program and job on the tool.
masterjob = {}
masterjob.Mode = "manual"
masterjob.AllowProgramSelection = true
masterjob.AllowJobSelection = true
